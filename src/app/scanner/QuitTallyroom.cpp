#include "app/scanner/QuitTallyroom.h"

#include "app/operations/Controller.h"

#include <QApplication>
#include <QMessageBox>
#include <QShortcut>
#include <QStyle>

QuitTallyroom::QuitTallyroom(Controller& c, QWidget* parent) : QPushButton(QStringLiteral("Close App"), parent), c_(c)
{
    setObjectName(QStringLiteral("quitTallyroom"));
    setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    setToolTip(QStringLiteral("Quit tallyroom"));
    connect(this, &QPushButton::clicked, this, &QuitTallyroom::press);
    auto* quitKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    quitKey->setContext(Qt::ApplicationShortcut);
    connect(quitKey, &QShortcut::activated, this, [this] {
        if (isEnabled())
            press();
    });
    connect(&c_, &Controller::changed, this, &QuitTallyroom::render);
    render();
}

void QuitTallyroom::render()
{
    const bool scanCancellable = c_.scanning() && c_.worker() && !c_.stopping();
    setEnabled(!c_.busy() || scanCancellable);
}

void QuitTallyroom::press()
{
    if (!c_.scanning()) {
        QApplication::closeAllWindows();
        QApplication::quit();
        return;
    }
    const QString title = QStringLiteral("Cancel the scan and quit?");
    confirm_ = new QMessageBox(QMessageBox::Warning, title, title, QMessageBox::NoButton, window());
    confirm_->setInformativeText(QStringLiteral("No files will be deleted."));
    confirm_->setAttribute(Qt::WA_DeleteOnClose);
    confirm_->setObjectName(QStringLiteral("quitConfirmation"));
    confirm_->addButton(QStringLiteral("Keep scanning"), QMessageBox::RejectRole);
    QPushButton* quit = confirm_->addButton(QStringLiteral("Cancel scan and quit"), QMessageBox::DestructiveRole);
    connect(quit, &QPushButton::clicked, this, &QuitTallyroom::cancelAndQuit);
    confirm_->open();
}

void QuitTallyroom::cancelAndQuit()
{
    if (c_.scanning()) {
        c_.setQuitAfterScan(true);
        c_.cancelScan();
        return;
    }
    QApplication::quit();
}
