#pragma once

#include <QLabel>

// The last line of the scanner window: who made it, the version, and the checksum of the
// disk image it was opened from.
class CreditFooter : public QLabel {
    Q_OBJECT

public:
    explicit CreditFooter(QWidget* parent = nullptr);

    const QString& checksum() const { return checksum_; }

private:
    void render();

    QString version_;
    QString checksum_ = QStringLiteral("Loading…");
};
