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

// What the check says to the login stack and what the stack said back.
struct Exchange {
    QByteArray password;
    // The last error the stack showed, such as why the account may not sign in.
    QString error;
};

// Answers every hidden prompt with the password and every other one with nothing.
int answer(int count, const pam_message** messages, pam_response** responses, void* data)
{
    auto* exchange = static_cast<Exchange*>(data);
    auto* replies = static_cast<pam_response*>(std::calloc(static_cast<size_t>(count), sizeof(pam_response)));
    if (!replies)
        return PAM_BUF_ERR;
    for (int i = 0; i < count; ++i) {
        if (messages[i]->msg_style == PAM_PROMPT_ECHO_OFF && exchange)
            replies[i].resp = strdup(exchange->password.constData());
        if (messages[i]->msg_style == PAM_ERROR_MSG && exchange && messages[i]->msg)
            exchange->error = QString::fromLocal8Bit(messages[i]->msg).trimmed();
    }
    *responses = replies;
    return PAM_SUCCESS;
}

// A wrong password, or the account check's refusal in the user's words. The system's stacks
// often turn an expired account into a plain refusal, so its own explanation is passed on.
QString refusalText(int result, bool passwordAccepted, const QString& explanation)
{
    if (!passwordAccepted)
        return QStringLiteral("Authentication failed.");
    switch (result) {
    case PAM_ACCT_EXPIRED:
        return QStringLiteral("Your account has expired. Ask your administrator to renew it.");
    case PAM_NEW_AUTHTOK_REQD:
    case PAM_AUTHTOK_EXPIRED:
        return QStringLiteral("Your password has expired. Change it, then try again.");
    default:
        return explanation.isEmpty() ? QStringLiteral("Your account may not sign in at this time.")
                                     : QStringLiteral("Your account may not sign in at this time: ") + explanation;
    }
}

}

std::optional<QString> PamAuthenticator::refusal(const QByteArray& user, const QByteArray& password)
{
    Exchange exchange {password, {}};
    pam_conv conversation {answer, &exchange};
    pam_handle_t* handle = nullptr;
    if (pam_start(service, user.constData(), &conversation, &handle) != PAM_SUCCESS)
        return refusalText(PAM_SYSTEM_ERR, false, {});
    const int authenticated = pam_authenticate(handle, PAM_DISALLOW_NULL_AUTHTOK);
    // A right password is not enough: the account must still be one that may sign in.
    const int result = authenticated == PAM_SUCCESS ? pam_acct_mgmt(handle, PAM_DISALLOW_NULL_AUTHTOK) : authenticated;
    pam_end(handle, result);
    if (result == PAM_SUCCESS)
        return std::nullopt;
    return refusalText(result, authenticated == PAM_SUCCESS, exchange.error);
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
            const std::optional<QString> refused = refusal(userName(), password);
            QMetaObject::invokeMethod(qApp, [refused, done] { done(refused); });
        });
    });
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}
