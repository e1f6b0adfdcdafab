#include "app/about/SourceDocument.h"

#include "app/about/SourceText.h"
#include "app/platform/Background.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QShortcut>
#include <QVBoxLayout>

SourceDocument::SourceDocument(SourcePath path, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("sourceDocument"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    findField_ = new QLineEdit;
    findField_->setObjectName(QStringLiteral("findField"));
    findField_->setPlaceholderText(QStringLiteral("Find"));
    findField_->setClearButtonEnabled(true);
    findField_->hide();
    connect(findField_, &QLineEdit::returnPressed, this, [this] {
        find(QApplication::keyboardModifiers() & Qt::ShiftModifier);
    });
    text_ = new QPlainTextEdit;
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPixelSize(13);
    text_->setFont(mono);
    text_->document()->setDocumentMargin(12);
    layout->addWidget(findField_);
    layout->addWidget(text_, 1);
    auto* findKey = new QShortcut(QKeySequence::Find, this);
    connect(findKey, &QShortcut::activated, this, &SourceDocument::showFindBar);
    auto* closeKey = new QShortcut(QKeySequence(Qt::Key_Escape), findField_);
    closeKey->setContext(Qt::WidgetShortcut);
    connect(closeKey, &QShortcut::activated, findField_, &QWidget::hide);
    load(path ? path : SourcePath(&SourceText::location));
}

QString SourceDocument::text() const
{
    return text_->toPlainText();
}

void SourceDocument::load(const SourcePath& path)
{
    const QPointer<SourceDocument> self(this);
    inBackground([self, path] {
        QString text = SourceText::read(path());
        QMetaObject::invokeMethod(qApp, [self, text = std::move(text)] {
            if (self)
                self->text_->setPlainText(text);
        }, Qt::QueuedConnection);
    });
}

void SourceDocument::showFindBar()
{
    findField_->show();
    findField_->setFocus();
    findField_->selectAll();
}

void SourceDocument::find(bool backwards)
{
    const QString wanted = findField_->text();
    if (wanted.isEmpty())
        return;
    const QTextDocument::FindFlags flags = backwards ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    if (text_->find(wanted, flags))
        return;
    // Wrap around once, from the other end.
    QTextCursor cursor = text_->textCursor();
    cursor.movePosition(backwards ? QTextCursor::End : QTextCursor::Start);
    text_->setTextCursor(cursor);
    text_->find(wanted, flags);
}
