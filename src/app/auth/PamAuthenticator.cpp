#include "app/auth/PamAuthenticator.h"

#include "app/auth/AuthenticationDialog.h"

#include <QApplication>
#include <QPointer>
#include "app/platform/Background.h"

#include <security/pam_appl.h>

#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <unistd.h>

namespace {

constexpr const char* service = "tallyroom";

QByteArray userName()
{
    const passwd* entry = getpwuid(getuid());
    return entry && entry->pw_name ? QByteArray(entry->pw_name) : QByteArray();
}

// Answers every hidden prompt with the password and every other one with nothing.
int answer(int count, const pam_message** messages, pam_response** responses, void* password)
{
    auto* replies = static_cast<pam_response*>(std::calloc(static_cast<size_t>(count), sizeof(pam_response)));
    if (!replies)
        return PAM_BUF_ERR;
    for (int i = 0; i < count; ++i)
        if (messages[i]->msg_style == PAM_PROMPT_ECHO_OFF)
            replies[i].resp = strdup(static_cast<const QByteArray*>(password)->constData());
    *responses = replies;
    return PAM_SUCCESS;
}

bool passwordAccepted(const QByteArray& user, const QByteArray& password)
{
    pam_conv conversation {answer, const_cast<QByteArray*>(&password)};
    pam_handle_t* handle = nullptr;
    if (pam_start(service, user.constData(), &conversation, &handle) != PAM_SUCCESS)
        return false;
    const int result = pam_authenticate(handle, PAM_DISALLOW_NULL_AUTHTOK);
    pam_end(handle, result);
    return result == PAM_SUCCESS;
}

}

bool PamAuthenticator::canEvaluate(QString& reason)
{
    const QByteArray user = userName();
    pam_conv conversation {answer, nullptr};
    pam_handle_t* handle = nullptr;
    const bool started = !user.isEmpty() && pam_start(service, user.constData(), &conversation, &handle) == PAM_SUCCESS;
    if (handle)
        pam_end(handle, PAM_SUCCESS);
    reason = started ? QString() : QStringLiteral("Mac authentication unavailable.");
    return started;
}

void PamAuthenticator::evaluate(const QString& reason, std::function<void(std::optional<QString>)> done)
{
    auto* dialog = new AuthenticationDialog(reason, QApplication::activeWindow());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::rejected, dialog, [done] { done(QStringLiteral("Canceled by user.")); });
    QObject::connect(dialog, &QDialog::accepted, dialog, [dialog, done] {
        const QByteArray password = dialog->password().toUtf8();
        inBackground([password, done] {
            const bool accepted = passwordAccepted(userName(), password);
            QMetaObject::invokeMethod(qApp, [accepted, done] {
                done(accepted ? std::nullopt : std::optional(QStringLiteral("Authentication failed.")));
            });
        });
    });
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}
