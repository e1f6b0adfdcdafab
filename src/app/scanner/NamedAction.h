#pragma once

#include <QAction>

// A menu action whose accessible name says more than its short text, such as
// "Reveal film.mov" for "Show in Finder".
class NamedAction : public QAction {
    Q_OBJECT

public:
    NamedAction(const QString& text, QString accessibleName, QObject* parent);

    const QString& accessibleName() const { return accessibleName_; }

private:
    const QString accessibleName_;
};
