// GIO first: its headers use a member named like a Qt keyword macro.
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include "app/platform/GioApplications.h"

#include <memory>

namespace {

template <typename T>
struct Unref {
    void operator()(T* object) const { g_object_unref(object); }
};
template <typename T>
using GPtr = std::unique_ptr<T, Unref<T>>;

QString contentTypeOf(const QString& file)
{
    const QByteArray path = file.toLocal8Bit();
    GPtr<GFile> location(g_file_new_for_path(path.constData()));
    GPtr<GFileInfo> info(g_file_query_info(location.get(), G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE,
                                           G_FILE_QUERY_INFO_NONE, nullptr, nullptr));
    if (info && g_file_info_get_content_type(info.get()))
        return QString::fromUtf8(g_file_info_get_content_type(info.get()));
    gchar* guessed = g_content_type_guess(path.constData(), nullptr, 0, nullptr);
    const QString type = QString::fromUtf8(guessed);
    g_free(guessed);
    return type;
}

// The desktop entry's path, or "" for an application GIO knows otherwise.
QString entryPath(GAppInfo* application)
{
    if (!G_IS_DESKTOP_APP_INFO(application))
        return {};
    const char* file = g_desktop_app_info_get_filename(G_DESKTOP_APP_INFO(application));
    return file ? QString::fromUtf8(file) : QString();
}

}

std::optional<QString> GioApplications::defaultFor(const QString& file)
{
    const QByteArray type = contentTypeOf(file).toUtf8();
    GPtr<GAppInfo> application(g_app_info_get_default_for_type(type.constData(), FALSE));
    const QString path = application ? entryPath(application.get()) : QString();
    return path.isEmpty() ? std::nullopt : std::optional(path);
}

QStringList GioApplications::allFor(const QString& file)
{
    const QByteArray type = contentTypeOf(file).toUtf8();
    QStringList paths;
    GList* all = g_app_info_get_all_for_type(type.constData());
    for (GList* item = all; item; item = item->next)
        if (const QString path = entryPath(G_APP_INFO(item->data)); !path.isEmpty())
            paths.append(path);
    g_list_free_full(all, g_object_unref);
    return paths;
}

QString GioApplications::displayName(const QString& application)
{
    GPtr<GDesktopAppInfo> info(g_desktop_app_info_new_from_filename(application.toLocal8Bit().constData()));
    if (!info)
        return application.section(QLatin1Char('/'), -1);
    return QString::fromUtf8(g_app_info_get_display_name(G_APP_INFO(info.get())));
}

std::optional<QString> GioApplications::open(const QString& file, const QString& application)
{
    GPtr<GDesktopAppInfo> info(g_desktop_app_info_new_from_filename(application.toLocal8Bit().constData()));
    if (!info)
        return QStringLiteral("The application could not be found.");
    GPtr<GFile> location(g_file_new_for_path(file.toLocal8Bit().constData()));
    GList files {location.get(), nullptr, nullptr};
    GError* error = nullptr;
    if (g_app_info_launch(G_APP_INFO(info.get()), &files, nullptr, &error))
        return std::nullopt;
    const QString reason = QString::fromUtf8(error ? error->message : "The application could not be started.");
    g_clear_error(&error);
    return reason;
}
