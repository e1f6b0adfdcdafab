#pragma once

#include "app/texts/OperationFailure.h"

#include <QMessageBox>
#include <QPointer>

#include <functional>
#include <optional>

// The one alert of an `OperationFailure`: titled by its action, with its reason and "OK".
// Each failure is shown once; a newer one replaces an alert still open.
class FailureAlert {
public:
    void show(QWidget* parent, const std::optional<OperationFailure>& failure, std::function<void()> dismissed);

private:
    QPointer<QMessageBox> alert_;
    QUuid shown_;
};
