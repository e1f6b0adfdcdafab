#include "app/session/SettingsFile.h"

#include "shared/PosixError.h"
#include "shared/Uuid.h"
#include "shared/platform/FileStatus.h"
#include "shared/platform/UniqueFd.h"
#include "shared/platform/WriteAll.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int folderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

QString systemText(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

QByteArray freshName(const QByteArray& name, const char* purpose)
{
    return name + purpose + QByteArray::fromStdString(Uuid::random().substr(0, 8));
}

// Reads at most `limit` bytes and one more, so that a file that grew is noticed.
QByteArray readBounded(int fd, qint64 limit)
{
    QByteArray bytes;
    char buffer[8192];
    while (bytes.size() <= limit) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw PosixError(errno);
        if (got == 0)
            break;
        bytes.append(buffer, got);
    }
    return bytes;
}

// The folder of the settings, this user's own and not a link; the configuration home above
// it is the user's setting, links included.
UniqueFd openFolder(const QString& folderPath, bool create)
{
    const QString home = QFileInfo(folderPath).path();
    const QByteArray name = QFile::encodeName(QFileInfo(folderPath).fileName());
    if (create)
        QDir().mkpath(home);
    const UniqueFd top(open(QFile::encodeName(home).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!top)
        return {};
    if (create && mkdirat(top.get(), name.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    UniqueFd folder(openat(top.get(), name.constData(), folderFlags));
    const auto status = folder ? FileStatus::ofDescriptor(folder.get()) : std::nullopt;
    if (folder && (!status || status->uid != getuid())) {
        errno = EPERM;
        return {};
    }
    return folder;
}

}

SettingsFile::SettingsFile(QString path)
    : path_(std::move(path)), folderPath_(QFileInfo(path_).path()), name_(QFile::encodeName(QFileInfo(path_).fileName()))
{
}

QByteArray SettingsFile::read()
{
    usable_ = false;
    const UniqueFd folder = openFolder(folderPath_, false);
    if (!folder) {
        usable_ = errno == ENOENT;
        if (errno != ENOENT)
            remember(QStringLiteral("The settings folder ") + folderPath_ + QStringLiteral(" cannot be used (")
                     + systemText(errno) + QStringLiteral("), so the defaults are used."));
        return {};
    }
    const UniqueFd file(openat(folder.get(), name_.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file) {
        usable_ = errno == ENOENT;
        if (errno == ELOOP)
            setAside(folder.get(), QStringLiteral("a symbolic link"));
        else if (errno != ENOENT)
            remember(QStringLiteral("The settings file ") + path_ + QStringLiteral(" cannot be read (") + systemText(errno)
                     + QStringLiteral("), so the defaults are used."));
        return {};
    }
    const auto status = FileStatus::ofDescriptor(file.get());
    if (!status || !status->isRegular()) {
        setAside(folder.get(), status && status->isDirectory() ? QStringLiteral("a folder") : QStringLiteral("not a regular file"));
        return {};
    }
    if (status->uid != getuid()) {
        setAside(folder.get(), QStringLiteral("another user’s file"));
        return {};
    }
    try {
        QByteArray bytes = status->size <= largest ? readBounded(file.get(), largest) : QByteArray();
        if (status->size <= largest && bytes.size() <= largest) {
            usable_ = true;
            return bytes;
        }
    } catch (const PosixError& error) {
        remember(QStringLiteral("The settings file ") + path_ + QStringLiteral(" cannot be read (") + systemText(error.code())
                 + QStringLiteral("), so the defaults are used."));
        return {};
    }
    setAside(folder.get(), QStringLiteral("larger than 256 KB"));
    return {};
}

void SettingsFile::write(const QByteArray& bytes)
{
    const QString failed = QStringLiteral("The settings could not be saved in ") + folderPath_ + QStringLiteral(": ");
    if (!usable_)
        return;
    const UniqueFd folder = openFolder(folderPath_, true);
    if (!folder) {
        remember(failed + systemText(errno) + u'.');
        return;
    }
    const QByteArray temporary = freshName(name_, ".new-");
    const UniqueFd fresh(openat(folder.get(), temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fresh) {
        remember(failed + systemText(errno) + u'.');
        return;
    }
    try {
        writeAll(fresh.get(), std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
        if (fsync(fresh.get()) != 0 || renameat(folder.get(), temporary.constData(), folder.get(), name_.constData()) != 0)
            throw PosixError(errno);
    } catch (const PosixError& error) {
        unlinkat(folder.get(), temporary.constData(), 0);
        remember(failed + systemText(error.code()) + u'.');
    }
}

std::optional<QString> SettingsFile::takeNotice()
{
    return std::exchange(notice_, std::nullopt);
}

// Only the name is moved, within the folder and onto a fresh name: nothing is removed or
// replaced, and the user can look at what stood there.
void SettingsFile::setAside(int folder, const QString& what)
{
    const QByteArray aside = freshName(name_, ".set-aside-");
    usable_ = renameat2(folder, name_.constData(), folder, aside.constData(), RENAME_NOREPLACE) == 0;
    if (usable_)
        remember(QStringLiteral("The settings file ") + path_ + QStringLiteral(" was ") + what
                 + QStringLiteral(", so it was set aside as “") + QFile::decodeName(aside)
                 + QStringLiteral("” and the defaults are used."));
    else
        remember(QStringLiteral("The settings file ") + path_ + QStringLiteral(" is ") + what
                 + QStringLiteral(" and could not be set aside (") + systemText(errno)
                 + QStringLiteral("), so the defaults are used."));
}

void SettingsFile::remember(const QString& notice)
{
    notice_ = notice;
}
