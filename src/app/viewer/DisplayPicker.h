#pragma once

#include <QWidget>

class QPushButton;

// "Paged-View" or "Full-View" as two joined segments, one of them always on.
class DisplayPicker : public QWidget {
    Q_OBJECT

public:
    explicit DisplayPicker(QWidget* parent = nullptr);

    bool full() const;
    void setFull(bool full);

signals:
    // Only for the person's own choice.
    void chosen(bool full);

private:
    QPushButton* paged_;
    QPushButton* all_;
};
