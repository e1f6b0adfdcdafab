#pragma once

#include "app/platform/Authenticator.h"


// Checks the current user's own password through the system's login stack, asked in a small
// modal dialog. The check runs off the main thread: a wrong password costs a few seconds.
class PamAuthenticator : public Authenticator {
public:
    bool canEvaluate(QString& reason) override;
    void evaluate(const QString& reason, std::function<void(std::optional<QString>)> done) override;
};
