#pragma once

#include <QWidget>

#include <functional>

class Branch;
class Controller;
class QLabel;
class QPushButton;

// The viewer's bottom row: the mode, how the graph simplifies, About, the memory in use and,
// for a folder too large for one graph, the graph pages.
class ViewerFooter : public QWidget {
    Q_OBJECT

public:
    ViewerFooter(Branch& b, Controller& c, std::function<void()> openAbout, QWidget* parent = nullptr);

    void render();

private:
    QWidget* badge();
    QWidget* graphPager();

    Branch& b_;

    QWidget* graphPager_ = nullptr;
    QPushButton* previousGraph_ = nullptr;
    QLabel* graphText_ = nullptr;
    QPushButton* nextGraph_ = nullptr;
};
