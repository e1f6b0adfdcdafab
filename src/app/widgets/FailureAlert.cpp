#include "app/widgets/FailureAlert.h"

void FailureAlert::show(QWidget* parent, const std::optional<OperationFailure>& failure, std::function<void()> dismissed)
{
    if (!failure || failure->id == shown_)
        return;
    shown_ = failure->id;
    if (alert_)
        alert_->close();
    alert_ = new QMessageBox(QMessageBox::Warning, failure->action, failure->action, QMessageBox::Ok, parent);
    alert_->setInformativeText(failure->reason);
    alert_->setObjectName(QStringLiteral("failureAlert"));
    alert_->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(alert_, &QMessageBox::finished, parent, std::move(dismissed));
    alert_->open();
}
