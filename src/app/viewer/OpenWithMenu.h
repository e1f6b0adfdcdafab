#pragma once

#include <QMenu>

#include <functional>
#include <optional>

class Applications;

// "Open With": the applications that open a file, the default one first, and "Other…".
class OpenWithMenu : public QMenu {
    Q_OBJECT

public:
    struct Choices {
        std::optional<QString> preferred;
        QStringList others;
    };

    OpenWithMenu(QString item, Applications& applications, std::function<void(const QString&)> reportError,
                 QWidget* parent = nullptr);

    // The default application, then the rest once each, by display name and then path.
    static Choices applicationsFor(const QString& item, Applications& applications);

    void openUsing(const QString& application);

private:
    void build();
    void chooseApplication();

    QString item_;
    Applications& applications_;
    std::function<void(const QString&)> reportError_;
};
