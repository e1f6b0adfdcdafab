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
    void render();

    Controller& c_;
    QLabel* placeholder_;
    QPlainTextEdit* text_;
    qsizetype shownCount_ = -1;
    QString shownLast_;
};
