#pragma once

#include <QString>
#include <QUuid>

// A failure shown as an alert with one "OK" button; each one is a distinct alert.
struct OperationFailure {
    QUuid id = QUuid::createUuid();
    QString action;
    QString reason;
};
