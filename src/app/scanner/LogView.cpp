#include "app/scanner/LogView.h"

#include "app/operations/Controller.h"
#include "app/scanner/QuitTallyroom.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>

LogView::LogView(Controller& c, QWidget* parent) : QWidget(parent), c_(c)
{
    setMinimumSize(480, 240);
    auto* closeKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_W), this);
    closeKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(closeKey, &QShortcut::activated, this, [this] { window()->close(); });
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(12);
    auto* header = new QHBoxLayout;
    auto* title = new QLabel(QStringLiteral("Scan Log"));
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    title->setFont(titleFont);
    header->addWidget(title);
    header->addStretch();
    header->addWidget(new QuitTallyroom(c_));
    layout->addLayout(header);
    auto* subtitle = new QLabel(QStringLiteral("Live activity • recent folder samples and operation results"));
    subtitle->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(subtitle);

    placeholder_ = new QLabel(QStringLiteral("Waiting for a scan or disk operation."));
    placeholder_->setObjectName(QStringLiteral("logPlaceholder"));
    placeholder_->setForegroundRole(QPalette::PlaceholderText);
    placeholder_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(placeholder_, 1);
    text_ = new QPlainTextEdit;
    text_->setObjectName(QStringLiteral("logText"));
    text_->setReadOnly(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSizeF(mono.pointSizeF() * 0.85);
    text_->setFont(mono);
    layout->addWidget(text_, 1);

    // The view keeps what the controller keeps: its newest lines, appended one by one.
    text_->setMaximumBlockCount(Controller::logLimit);
    const QStringList& lines = c_.lines();
    placeholder_->setVisible(lines.isEmpty());
    text_->setVisible(!lines.isEmpty());
    if (!lines.isEmpty())
        text_->setPlainText(lines.join(QLatin1Char('\n')));
    followEnd();
    connect(&c_, &Controller::lineLogged, this, &LogView::append);
}

void LogView::append(const QString& line)
{
    if (text_->isHidden()) {
        placeholder_->hide();
        text_->show();
    }
    text_->appendPlainText(line);
    followEnd();
}

void LogView::followEnd()
{
    text_->verticalScrollBar()->setValue(text_->verticalScrollBar()->maximum());
}
