#pragma once

#include <QLabel>

// The live memory-use line of the viewer's footer, refreshed every two seconds.
class MemoryReadout : public QLabel {
    Q_OBJECT

public:
    explicit MemoryReadout(QWidget* parent = nullptr);

private:
    void refresh();
};
