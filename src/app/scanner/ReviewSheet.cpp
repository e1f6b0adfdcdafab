#include "app/scanner/ReviewSheet.h"

#include "app/operations/Controller.h"
#include "app/texts/Fmt.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

ReviewSheet::ReviewSheet(Controller& c, QWidget* parent) : QDialog(parent), c_(c)
{
    setObjectName(QStringLiteral("reviewSheet"));
    setWindowTitle(QStringLiteral("Review deletion"));
    setWindowModality(Qt::WindowModal);
    resize(width, height);
    const std::vector<Row> rows = c_.selected();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(12);
    auto* title = new QLabel(QStringLiteral("Permanently delete %1 selected files?").arg(rows.size()));
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.35);
    title->setFont(titleFont);
    layout->addWidget(title);
    layout->addWidget(new QLabel(QStringLiteral("This bypasses the Trash. Synced copies may also be removed.")));

    auto* list = new QPlainTextEdit;
    list->setObjectName(QStringLiteral("reviewList"));
    list->setReadOnly(true);
    QStringList lines;
    for (const Row& row : rows)
        lines.append(QString::fromStdString(row.path) + QStringLiteral("  •  ") + fmt(row.bytes));
    list->setPlainText(lines.join(QLatin1Char('\n')));
    layout->addWidget(list, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setShortcut(Qt::Key_Escape);
    auto* remove = new QPushButton(QStringLiteral("Delete permanently"));
    remove->setObjectName(QStringLiteral("deletePermanently"));
    remove->setStyleSheet(QStringLiteral("QPushButton { color: #c0392b; font-weight: bold; }"));
    remove->setEnabled(!c_.readOnly());
    buttons->addWidget(cancel);
    buttons->addWidget(remove);
    layout->addLayout(buttons);

    // The safe way out is where the keyboard starts.
    cancel->setFocus(Qt::OtherFocusReason);

    connect(cancel, &QPushButton::clicked, this, [this] { c_.setReview(false); });
    connect(remove, &QPushButton::clicked, this, [this] { c_.run(QStringLiteral("delete")); });
}
