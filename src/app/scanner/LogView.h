#pragma once

#include <QWidget>

class Controller;
class QLabel;
class QPlainTextEdit;

// The live activity log, always following its end.
class LogView : public QWidget {
    Q_OBJECT

public:
    explicit LogView(Controller& c, QWidget* parent = nullptr);

    QPlainTextEdit* text() const { return text_; }

private:
    void append(const QString& line);
    void followEnd();

    Controller& c_;
    QLabel* placeholder_;
    QPlainTextEdit* text_;
};
