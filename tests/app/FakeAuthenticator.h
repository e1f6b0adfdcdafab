#pragma once

#include "app/platform/Authenticator.h"

#include <QStringList>

// Answers as told, and remembers what it was asked. A held answer is given by answer().
class FakeAuthenticator : public Authenticator {
public:
    bool available = true;
    QString unavailableReason;
    std::optional<QString> failure;
    bool hold = false;
    QStringList reasons;

    bool canEvaluate(QString& reason) override
    {
        reason = unavailableReason;
        return available;
    }

    void evaluate(const QString& reason, std::function<void(std::optional<QString>)> done) override
    {
        reasons.append(reason);
        pending_ = std::move(done);
        if (!hold)
            answer();
    }

    void answer()
    {
        auto done = std::move(pending_);
        pending_ = nullptr;
        if (done)
            done(failure);
    }

private:
    std::function<void(std::optional<QString>)> pending_;
};
