#include "app/shell/TallyroomApp.h"

#include "app/about/AboutDetail.h"
#include "app/about/AboutView.h"
#include "app/about/SourceDocument.h"
#include "app/about/StructureView.h"
#include "app/operations/Controller.h"
#include "app/platform/Bundle.h"
#include "app/scanner/LogView.h"
#include "app/scanner/TallyroomView.h"
#include "app/session/Preferences.h"
#include "app/session/SessionDisk.h"
#include "app/setup/DiskSetup.h"
#include "app/setup/StartupWindowSize.h"
#include "app/setup/SunriseBackground.h"
#include "app/viewer/DiskViewer.h"
#include "app/widgets/ReleaseTitle.h"
#include "shared/Base64.h"
#include "shared/Problem.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStackedLayout>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int scannerWidth = 760;
constexpr int scannerHeight = 680;

struct WindowKind {
    QString title;
    QSize size;
};

WindowKind kindOf(const QString& identifier)
{
    if (identifier == QLatin1String("viewer"))
        return {QStringLiteral("3D Viewer"), {1050, 680}};
    if (identifier == QLatin1String("about"))
        return {aboutTitle(), {730, 550}};
    if (identifier == QLatin1String("code"))
        return {QStringLiteral("Tallyroom source code"), {900, 650}};
    if (identifier == QLatin1String("structure"))
        return {QStringLiteral("Tallyroom structure"), {750, 540}};
    if (identifier == QLatin1String("log"))
        return {QStringLiteral("Scan Log"), {760, 420}};
    return {releaseTitle(), {690, 425}};
}

// The size a window asks for, cut down so that it and its frame fit the free part of its screen.
QSize fitted(QSize wanted, const QWidget* window)
{
    const QScreen* screen = window->screen();
    if (!screen)
        return wanted;
    const QSize frame = window->frameGeometry().size() - window->size();
    return wanted.boundedTo(screen->availableGeometry().size() - frame);
}

// The scope setup handed to the installed copy, rebuilt, when it still names what it named.
std::optional<DiskScope> handedOver(const std::optional<QString>& text)
{
    if (!text)
        return std::nullopt;
    try {
        const DiskScope handed = DiskScope::fromBase64(text->toStdString());
        if (!handed.valid())
            return std::nullopt;
        return DiskScope(handed.root(), handed.cloud(), handed.data(), handed.readOnly());
    } catch (const Problem&) {
        return std::nullopt;
    }
}

QWidget* notice(const QString& text)
{
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setSpacing(12);
    layout->addStretch();
    auto* label = new QLabel(text);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    layout->addWidget(label);
    return box;
}

}

TallyroomApp::TallyroomApp(Authenticator& authenticator, QString worker, QObject* parent)
    : QObject(parent), authenticator_(authenticator), worker_(std::move(worker)),
      controller_(std::make_unique<Controller>(worker_, authenticator_, lifecycle_))
{
    lifecycle_.setController(controller_.get());
}

TallyroomApp::~TallyroomApp()
{
    for (const QPointer<QWidget>& window : std::as_const(windows_))
        delete window;
}

std::optional<DiskScope> TallyroomApp::selectedDisk(const QStringList& arguments)
{
    return handedOver(CommandLine::parse(arguments, QDir::currentPath()).selectedDisk);
}

void TallyroomApp::launchWith(const CommandLine& command)
{
    openWindow(QStringLiteral("main"));
    if (command.folder)
        if (auto* setup = qobject_cast<DiskSetup*>(mainStack_->widget(0)))
            setup->chooseFolder(*command.folder);
    if (const auto scope = handedOver(command.selectedDisk))
        start(*scope);
}

void TallyroomApp::launch(const QStringList& arguments)
{
    launchWith(CommandLine::parse(arguments, QDir::currentPath()));
}

void TallyroomApp::start(const DiskScope& scope)
{
    SessionDisk::setTrashBlocked(false);
    SessionDisk::setCurrent(scope);
    auto previous = std::move(controller_);
    controller_ = std::make_unique<Controller>(worker_, authenticator_, lifecycle_);
    lifecycle_.setController(controller_.get());
    sessionID_ = QUuid::createUuid();
    Preferences::rememberSession(scope, QDir::cleanPath(Bundle::location() + QStringLiteral("/..")));
    ready_ = true;
    showScanner();
    refreshSessionWindows();
    // The old views go first; they may still be delivering the click that led here.
    previous.release()->deleteLater();
}

void TallyroomApp::openWindow(const QString& identifier)
{
    QWidget* window = windows_.value(identifier);
    if (!window) {
        window = createWindow(identifier);
        windows_.insert(identifier, window);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

QWidget* TallyroomApp::createWindow(const QString& identifier)
{
    const WindowKind kind = kindOf(identifier);
    QWidget* window = identifier == QLatin1String("main") ? new SunriseBackground : new QWidget;
    window->setObjectName(identifier);
    window->setWindowTitle(kind.title);
    window->resize(kind.size);
    window->setAttribute(Qt::WA_QuitOnClose, false);
    if (identifier == QLatin1String("main")) {
        mainStack_ = new QStackedLayout(window);
        mainStack_->addWidget(new DiskSetup(nullptr, [this](const DiskScope& scope) { start(scope); }));
        new StartupWindowSize(window);
        window->installEventFilter(this);
        if (ready_)
            showScanner();
        return window;
    }
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(contentFor(identifier));
    return window;
}

QWidget* TallyroomApp::contentFor(const QString& identifier)
{
    if (identifier == QLatin1String("log"))
        return new LogView(*controller_);
    if (identifier == QLatin1String("viewer")) {
        if (!ready_) {
            QWidget* box = notice(QStringLiteral("Choose the target disk in the main window."));
            auto* back = new QPushButton(QStringLiteral("Close View, back to Tallyroom"));
            connect(back, &QPushButton::clicked, this, [this] {
                openWindow(QStringLiteral("main"));
                if (QWidget* viewer = windows_.value(QStringLiteral("viewer")))
                    viewer->close();
            });
            box->layout()->addWidget(back);
            static_cast<QVBoxLayout*>(box->layout())->addStretch();
            return box;
        }
        return new DiskViewer(*controller_, workspace_, applications_,
                              [this](const QString& identifier) { openWindow(identifier); });
    }
    if (identifier == QLatin1String("about"))
        return new AboutView([this](const QString& id) { openWindow(id); });
    QWidget* content = identifier == QLatin1String("code") ? static_cast<QWidget*>(new SourceDocument) : new StructureView;
    return new AboutDetail(
        identifier, content, [this](const QString& id) { openWindow(id); },
        [this](const QString& id) {
            if (QWidget* window = windows_.value(id))
                window->close();
        });
}

void TallyroomApp::showScanner()
{
    if (!mainStack_)
        return;
    while (mainStack_->count() > 1) {
        QWidget* old = mainStack_->widget(1);
        mainStack_->removeWidget(old);
        old->deleteLater();
    }
    auto* scanner = new TallyroomView(
        *controller_, workspace_,
        [this](const std::function<void()>& close) {
            return new DiskSetup(close, [this, close](const DiskScope& scope) {
                close();
                start(scope);
            });
        },
        [this](const QString& identifier) { openWindow(identifier); });
    mainStack_->addWidget(scanner);
    mainStack_->setCurrentWidget(scanner);
    // The ranked list needs more room than setup; grow once the first sizing has happened.
    QTimer::singleShot(200, this, [this] {
        QWidget* main = windows_.value(QStringLiteral("main"));
        if (!main || main->isFullScreen() || main->height() >= scannerHeight)
            return;
        main->resize(fitted({std::max(main->width(), scannerWidth), scannerHeight}, main));
        const QRect free = main->screen()->availableGeometry();
        if (!free.contains(main->frameGeometry()))
            main->move(free.topLeft());
    });
}

void TallyroomApp::refreshSessionWindows()
{
    for (const QString& identifier : {QStringLiteral("log"), QStringLiteral("viewer")}) {
        QWidget* window = windows_.value(identifier);
        if (!window)
            continue;
        QLayout* layout = window->layout();
        while (QLayoutItem* item = layout->takeAt(0)) {
            item->widget()->deleteLater();
            delete item;
        }
        layout->addWidget(contentFor(identifier));
    }
}

bool TallyroomApp::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Close && watched == windows_.value(QStringLiteral("main"))) {
        if (lifecycle_.applicationShouldTerminate() == AppLifecycle::Reply::Now)
            QCoreApplication::quit();
        else
            event->ignore();
        return event->isAccepted() ? false : true;
    }
    return QObject::eventFilter(watched, event);
}
