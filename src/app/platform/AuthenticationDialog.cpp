#include "AuthenticationDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

AuthenticationDialog::AuthenticationDialog(const QString& reason, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("authenticationDialog"));
    setWindowTitle(QStringLiteral("Authentication"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(12);
    auto* prompt = new QLabel(reason);
    prompt->setWordWrap(true);
    layout->addWidget(prompt);
    layout->addWidget(new QLabel(QStringLiteral("Enter your password to allow this.")));
    password_ = new QLineEdit;
    password_->setObjectName(QStringLiteral("password"));
    password_->setEchoMode(QLineEdit::Password);
    layout->addWidget(password_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Unlock"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

QString AuthenticationDialog::password() const
{
    return password_->text();
}
