#pragma once

#include "Wire.h"

#include <QAbstractButton>

// One ranked file: its symbol, name and path, size and tag. Clicking it toggles it.
class FileRow : public QAbstractButton {
    Q_OBJECT

public:
    enum class Kind { Selectable, Unlockable, ReportOnly };
    struct State {
        bool selected = false;
        bool approved = false;
        bool removed = false;
    };

    FileRow(const Row& row, State state, QWidget* parent = nullptr);

    const Row& row() const { return row_; }
    Kind kind() const;
    QString symbol() const;
    QString tag() const;

    QSize sizeHint() const override;

signals:
    void revealRequested(const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QString name() const;

    Row row_;
    State state_;
};
