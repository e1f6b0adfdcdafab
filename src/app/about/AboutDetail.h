#pragma once

#include <QWidget>

#include <functional>

// Frames the source and structure windows' content with a way back to the About window.
class AboutDetail : public QWidget {
    Q_OBJECT

public:
    using WindowAction = std::function<void(const QString& identifier)>;

    // id is the identifier of the window this frame sits in; it takes ownership of content.
    AboutDetail(QString id, QWidget* content, WindowAction openWindow, WindowAction dismissWindow,
                QWidget* parent = nullptr);

private:
    void backToAbout();

    QString id_;
    WindowAction openWindow_;
    WindowAction dismissWindow_;
};
