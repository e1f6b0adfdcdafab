#include "app/about/RequirementLine.h"

#include "app/about/StatusSymbol.h"
#include "app/widgets/SecondaryText.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

QLabel* numberLabel(int number)
{
    auto* label = new QLabel(QString::number(number));
    label->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    label->setFixedWidth(28);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SecondaryText::apply(label);
    return label;
}

QWidget* verdict(bool available, qreal scale)
{
    auto* box = new QWidget;
    box->setObjectName(QStringLiteral("verdict"));
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(5);
    auto* symbol = new QLabel;
    const int size = box->fontMetrics().height() - 2;
    symbol->setPixmap(StatusSymbol::draw(available, size, scale));
    auto* text = new QLabel(available ? QStringLiteral("Satisfied") : QStringLiteral("Not Available"));
    text->setObjectName(QStringLiteral("verdictText"));
    text->setStyleSheet(QStringLiteral("color: %1").arg(StatusSymbol::colour(available).name()));
    layout->addWidget(symbol);
    layout->addWidget(text);
    return box;
}

}

RequirementLine::RequirementLine(int number, const Requirement& row, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("requirement"));
    setAccessibleName(row.name);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 8, 4);
    layout->setSpacing(10);
    layout->addWidget(numberLabel(number));
    auto* text = new QVBoxLayout;
    text->setSpacing(1);
    auto* name = new QLabel(row.name);
    name->setObjectName(QStringLiteral("requirementName"));
    name->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* detail = new QLabel(row.detail);
    detail->setObjectName(QStringLiteral("requirementDetail"));
    SecondaryText::apply(detail, 0.85);
    text->addWidget(name);
    text->addWidget(detail);
    layout->addLayout(text, 1);
    layout->addWidget(verdict(row.available, devicePixelRatioF()));
}
