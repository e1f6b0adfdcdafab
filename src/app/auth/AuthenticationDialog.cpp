#include "app/auth/AuthenticationDialog.h"

#include "app/widgets/LockSymbol.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
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
    layout->setContentsMargins(20, 20, 20, 16);
    layout->setSpacing(12);
    auto* heading = new QHBoxLayout;
    heading->setSpacing(14);
    auto* padlock = new QLabel;
    padlock->setPixmap(LockSymbol::icon(palette().color(QPalette::WindowText), 40).pixmap(40, 40));
    padlock->setAlignment(Qt::AlignTop);
    heading->addWidget(padlock);
    auto* texts = new QVBoxLayout;
    auto* prompt = new QLabel(reason);
    prompt->setWordWrap(true);
    QFont bold = prompt->font();
    bold.setBold(true);
    prompt->setFont(bold);
    texts->addWidget(prompt);
    texts->addWidget(new QLabel(QStringLiteral("Enter your password to allow this.")));
    heading->addLayout(texts, 1);
    layout->addLayout(heading);
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
