#pragma once

#include <QIcon>
#include <QPushButton>

// A mode's symbol and name; the current mode stands out, the other one is plain. With
// dropdown set a chevron follows the name.
class ModeLabel : public QPushButton {
    Q_OBJECT

public:
    ModeLabel(bool readOnly, bool selected, bool dropdown, QWidget* parent = nullptr);

    static QString name(bool readOnly);
    // A padlock for Read-Only Mode, a pencil for Active Mode.
    static QIcon symbol(bool readOnly, const QColor& colour);

    bool readOnly() const { return readOnly_; }
    bool dropdown() const { return dropdown_; }
    void setMode(bool readOnly, bool selected);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void render();

    bool readOnly_;
    bool selected_;
    bool dropdown_;
};
