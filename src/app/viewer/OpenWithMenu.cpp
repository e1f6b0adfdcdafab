#include "app/viewer/OpenWithMenu.h"

#include "app/folders/BrowserCollator.h"
#include "app/platform/Applications.h"
#include "app/session/SessionDisk.h"

#include <QCollator>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <algorithm>

OpenWithMenu::OpenWithMenu(QString item, Applications& applications, std::function<void(const QString&)> reportError,
                           QWidget* parent)
    : QMenu(QStringLiteral("Open With"), parent), item_(std::move(item)), applications_(applications),
      reportError_(std::move(reportError))
{
    connect(this, &QMenu::aboutToShow, this, &OpenWithMenu::build);
    build();
}

OpenWithMenu::Choices OpenWithMenu::applicationsFor(const QString& item, Applications& applications)
{
    Choices choices;
    if (const auto preferred = applications.defaultFor(item))
        choices.preferred = QDir::cleanPath(*preferred);
    QStringList others;
    for (const QString& application : applications.allFor(item)) {
        const QString standard = QDir::cleanPath(application);
        if (standard != choices.preferred && !others.contains(standard))
            others.append(standard);
    }
    const QCollator collator = browserCollator();
    std::sort(others.begin(), others.end(), [&](const QString& a, const QString& b) {
        const int order = collator.compare(applications.displayName(a), applications.displayName(b));
        return order != 0 ? order < 0 : a < b;
    });
    choices.others = others;
    return choices;
}

void OpenWithMenu::build()
{
    clear();
    const Choices choices = applicationsFor(item_, applications_);
    if (choices.preferred)
        connect(addAction(applications_.displayName(*choices.preferred) + QStringLiteral(" (Default)")), &QAction::triggered,
                this, [this, application = *choices.preferred] { openUsing(application); });
    for (const QString& application : choices.others)
        connect(addAction(applications_.displayName(application)), &QAction::triggered, this,
                [this, application] { openUsing(application); });
    if (choices.preferred || !choices.others.isEmpty())
        addSeparator();
    connect(addAction(QStringLiteral("Other…")), &QAction::triggered, this, &OpenWithMenu::chooseApplication);
}

void OpenWithMenu::openUsing(const QString& application)
{
    if (!SessionDisk::writable())
        return;
    if (const auto failure = applications_.open(item_, application))
        reportError_(QStringLiteral("Could not open ") + QFileInfo(item_).fileName() + QStringLiteral(": ") + *failure);
}

void OpenWithMenu::chooseApplication()
{
    if (!SessionDisk::writable())
        return;
    const QString application = QFileDialog::getOpenFileName(
        parentWidget(), QStringLiteral("Choose an application to open ") + QFileInfo(item_).fileName(),
        QStringLiteral("/usr/share/applications"), QStringLiteral("Applications (*.desktop)"));
    if (!application.isEmpty())
        openUsing(application);
}
