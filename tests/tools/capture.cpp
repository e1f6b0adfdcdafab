// Renders the application's windows in the states a person meets them and saves each as a
// PNG, so they can be looked at: capture OUTPUT_FOLDER TREE
#include "FakeAuthenticator.h"
#include "app/auth/AuthenticationDialog.h"
#include "app/operations/Controller.h"
#include "app/platform/Bundle.h"
#include "app/scanner/FileListView.h"
#include "app/session/SessionDisk.h"
#include "app/setup/DiskSetup.h"
#include "app/shell/TallyroomApp.h"
#include "app/trash/FolderAction.h"
#include "app/trash/TrashSheet.h"
#include "app/viewer/DiskViewer.h"
#include "app/viewer/graph/OrbitView.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QScrollArea>
#include <QThread>

#include <iostream>

namespace {

void settle(int milliseconds = 300)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

void save(QWidget* widget, const QString& folder, const QString& name)
{
    settle();
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
    widget->grab().save(path);
    std::cout << path.toStdString() << '\n';
}

template <typename T>
T* find(QWidget* root, const char* name)
{
    return root->findChild<T*>(QString::fromLatin1(name));
}

// The viewer on the sample disk, then a folder of 150 entries in full view and paged.
void showViewerStates(TallyroomApp& app, const QString& out, const QString& tree)
{
    app.openWindow(QStringLiteral("viewer"));
    QWidget* window = app.window(QStringLiteral("viewer"));
    settle(1500);
    save(window, out, QStringLiteral("viewer"));
    // Keyboard focus on the 3D map, as a keyboard user reaches it with Tab.
    window->activateWindow();
    window->setAttribute(Qt::WA_KeyboardFocusChange);
    window->findChild<OrbitView*>()->setFocus(Qt::TabFocusReason);
    settle(300);
    save(window, out, QStringLiteral("viewer-focus-map"));
    auto* viewer = window->findChild<DiskViewer*>();
    Branch& b = viewer->branch();
    b.load(VEntry {tree + QStringLiteral("/Many"), true, false, 0}, false, false);
    settle(1500);
    b.setFull(true);
    settle(1000);
    save(window, out, QStringLiteral("viewer-dense"));
    b.setFull(false);
    settle(500);
    save(window, out, QStringLiteral("viewer-paged"));

    b.requestTrash(VEntry {tree + QStringLiteral("/Many/item-7.dat"), false, false, 35000});
    if (auto* sheet = find<QDialog>(window, "trashSheet"))
        save(sheet, out, QStringLiteral("viewer-trash-sheet"));
    b.setPending(std::nullopt);
}

// The scanner's folder review, on a cache folder so the authentication caption shows.
void showFolderSheet(QWidget* main, const QString& out)
{
    const QString caches = QDir::homePath() + QStringLiteral("/Library/Caches/app");
    auto* action = main->findChild<FolderAction*>();
    action->review(QUrl::fromLocalFile(caches));
    if (TrashSheet* sheet = action->sheet()) {
        save(sheet, out, QStringLiteral("folder-trash-sheet"));
        sheet->reject();
    }
}

// Keyboard focus on a row of the ranked list and on a button, as a keyboard user sees them.
void showFocus(QWidget* main, const QString& out)
{
    main->activateWindow();
    main->setAttribute(Qt::WA_KeyboardFocusChange);
    auto* list = main->findChild<FileListView*>();
    list->setFocus(Qt::TabFocusReason);
    list->selectionModel()->setCurrentIndex(list->model()->index(1, 0), QItemSelectionModel::NoUpdate);
    save(main, out, QStringLiteral("scanner-focus-row"));
    main->findChild<QPushButton*>(QStringLiteral("scanDisk"))->setFocus(Qt::TabFocusReason);
    save(main, out, QStringLiteral("scanner-focus-button"));
}

// The password prompt that stands in for the system's own, with the reason a cache row gives.
void showAuthenticationDialog(QWidget* main, const QString& out)
{
    AuthenticationDialog dialog(QStringLiteral("Unlock blob.cache for selection in tallyroom. Deletion requires a separate confirmation."), main);
    dialog.show();
    save(&dialog, out, QStringLiteral("authentication"));
}

// Setup once a disk is chosen and the installation folder kept.
void showSetupChoices(QWidget* main, const QString& out)
{
    auto* setup = main->findChild<DiskSetup*>();
    QElapsedTimer timer;
    timer.start();
    while (setup->volumes().empty() && timer.elapsed() < 10000)
        settle(50);
    if (!setup->volumes().empty())
        setup->chooseVolume(setup->volumes().front());
    for (QPushButton* button : setup->findChildren<QPushButton*>())
        if (button->text() == QStringLiteral("Keep")) {
            button->click();
            break;
        }
    save(main, out, QStringLiteral("setup-chosen"));
}

}

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("tallyroom-capture"));
    QApplication::setApplicationName(QStringLiteral("tallyroom"));
    // CAPTURE_POINT_SIZE shows the windows as with a larger desktop font.
    if (const double points = qEnvironmentVariable("CAPTURE_POINT_SIZE").toDouble(); points > 0) {
        QFont font = QApplication::font();
        font.setPointSizeF(points);
        QApplication::setFont(font);
    }
    if (argc < 3) {
        std::cerr << "usage: capture OUTPUT_FOLDER TREE\n";
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString tree = QString::fromLocal8Bit(argv[2]);
    FakeAuthenticator authenticator;
    TallyroomApp app(authenticator, QStringLiteral(DELVER));
    app.launch({});
    QWidget* main = app.window(QStringLiteral("main"));
    main->resize(760, 640);
    save(main, out, QStringLiteral("setup"));
    showSetupChoices(main, out);

    app.start(DiskScope(tree.toStdString(), false, SessionDisk::defaultData().toStdString()));
    save(main, out, QStringLiteral("scanner-before-scan"));
    app.controller().run(QStringLiteral("scan"));
    QElapsedTimer timer;
    timer.start();
    while (app.controller().busy() && timer.elapsed() < 60000)
        settle(50);
    save(main, out, QStringLiteral("scanner-after-scan"));

    const auto rows = app.controller().data()->rows;
    for (size_t i = 0; i < rows.size() && i < 3; ++i)
        app.controller().toggle(rows[i]);
    save(main, out, QStringLiteral("scanner-selected"));
    app.controller().setReview(true);
    settle();
    if (auto* sheet = main->findChild<QDialog*>(QStringLiteral("reviewSheet")))
        save(sheet, out, QStringLiteral("review-sheet"));
    app.controller().setReview(false);
    showFocus(main, out);
    showFolderSheet(main, out);
    showAuthenticationDialog(main, out);

    app.openWindow(QStringLiteral("log"));
    save(app.window(QStringLiteral("log")), out, QStringLiteral("scan-log"));

    showViewerStates(app, out, tree);
    for (const char* identifier : {"about", "structure", "code"}) {
        app.openWindow(QString::fromLatin1(identifier));
        settle(6000);
        save(app.window(QString::fromLatin1(identifier)), out, QString::fromLatin1(identifier));
    }
    // The whole diagram, past what the window shows at once.
    if (auto* scroll = app.window(QStringLiteral("structure"))->findChild<QScrollArea*>())
        save(scroll->widget(), out, QStringLiteral("structure-whole"));
    return 0;
}
