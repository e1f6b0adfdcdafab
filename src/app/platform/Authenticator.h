#pragma once

#include <QString>

#include <functional>
#include <optional>

// Asks the person at the computer to prove they own the account. Every evaluation asks
// afresh; nothing is reused.
class Authenticator {
public:
    virtual ~Authenticator() = default;

    // Whether authentication can be asked for at all; otherwise why not (may be empty).
    virtual bool canEvaluate(QString& reason) = 0;
    // Shows the reason and asks. `done` runs later on the main thread with nothing when the
    // user authenticated, or the description of why not (refused, cancelled, failed).
    virtual void evaluate(const QString& reason, std::function<void(std::optional<QString> failure)> done) = 0;
};
