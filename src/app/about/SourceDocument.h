#pragma once

#include <QWidget>

#include <functional>

class QLineEdit;
class QPlainTextEdit;

// The program's source text, read-only and searchable, loaded once when the view is made.
class SourceDocument : public QWidget {
    Q_OBJECT

public:
    using SourcePath = std::function<QString()>;

    explicit SourceDocument(SourcePath path = {}, QWidget* parent = nullptr);

    QString text() const;

private:
    void load(const SourcePath& path);
    void showFindBar();
    void find(bool backwards);

    QPlainTextEdit* text_ = nullptr;
    QLineEdit* findField_ = nullptr;
};
