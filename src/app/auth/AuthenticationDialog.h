#pragma once

#include <QDialog>

class QLineEdit;

// Asks for the account password, showing why it is needed.
class AuthenticationDialog : public QDialog {
    Q_OBJECT

public:
    explicit AuthenticationDialog(const QString& reason, QWidget* parent = nullptr);

    QString password() const;

private:
    QLineEdit* password_;
};
