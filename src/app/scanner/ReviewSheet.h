#pragma once

#include <QDialog>

class Controller;

// "Permanently delete … selected files?": the last look at the selection before deleting.
class ReviewSheet : public QDialog {
    Q_OBJECT

public:
    static constexpr int width = 560;
    static constexpr int height = 320;

    ReviewSheet(Controller& c, QWidget* parent);

private:
    Controller& c_;
};
