#pragma once

#include <QString>
#include <QUuid>

// A failure shown as an alert with one "OK" button; each one is a distinct alert.
struct OperationFailure {
    OperationFailure(QString action, QString reason)
        : id(QUuid::createUuid()), action(std::move(action)), reason(std::move(reason))
    {
    }

    QUuid id;
    QString action;
    QString reason;
};
