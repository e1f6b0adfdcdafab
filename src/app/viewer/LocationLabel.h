#pragma once

#include <QLabel>

// The open folder's location on one line: when the whole path does not fit, its head gives way
// to "…" so the folder's own name stays in view. The whole text is the tooltip.
class LocationLabel : public QLabel {
    Q_OBJECT

public:
    explicit LocationLabel(QWidget* parent = nullptr);

    void setLocation(const QString& location);
    const QString& location() const { return location_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void elide();

    QString location_;
};
