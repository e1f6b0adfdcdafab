#pragma once

#include <QPushButton>

// A mode's symbol and name; the current mode stands out, the other one is plain.
class ModeLabel : public QPushButton {
    Q_OBJECT

public:
    ModeLabel(bool readOnly, bool selected, bool dropdown, QWidget* parent = nullptr);

    static QString name(bool readOnly);
    static QString symbol(bool readOnly);

    bool readOnly() const { return readOnly_; }
    void setMode(bool readOnly, bool selected);

private:
    void render();

    bool readOnly_;
    bool selected_;
    bool dropdown_;
};
