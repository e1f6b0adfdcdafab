#pragma once

#include "app/platform/Authenticator.h"

#include <QByteArray>

// Checks the current user's own password through the system's login stack, asked in a small
// modal dialog. The check runs off the main thread: a wrong password costs a few seconds.
class PamAuthenticator : public Authenticator {
public:
    bool canEvaluate(QString& reason) override;
    void evaluate(const QString& reason, std::function<void(std::optional<QString>)> done) override;

    // Why the system's login stack refuses `user` with `password` (a wrong password, an expired
    // account, a password that must be changed first); none when it accepts both.
    static std::optional<QString> refusal(const QByteArray& user, const QByteArray& password);
};
