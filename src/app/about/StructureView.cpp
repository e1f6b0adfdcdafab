#include "app/about/StructureView.h"

#include "app/about/BlockGrid.h"
#include "app/about/Diagnostics.h"
#include "app/platform/Background.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString worker = QStringLiteral("Native scan worker");
const QString interfaceKit = QStringLiteral("libQt6Widgets.so.6");
const QString windows = QStringLiteral("libQt6Gui.so.6");
const QString core = QStringLiteral("libQt6Core.so.6");
const QString systemCalls = QStringLiteral("libc.so.6");

QLabel* text(const QString& content, double sizeFactor = 1.0, bool bold = false)
{
    auto* label = new QLabel(content);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * sizeFactor);
    font.setBold(bold);
    label->setFont(font);
    return label;
}

QLabel* headline(const QString& content)
{
    QLabel* label = text(content, 1.1, true);
    label->setObjectName(QStringLiteral("headline"));
    return label;
}

QFrame* divider()
{
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

}

StructureView::StructureView(ResourcesFolder resources, QWidget* parent)
    : QWidget(parent), resources_(resources ? std::move(resources) : ResourcesFolder(&Diagnostics::resourcesFolder))
{
    setObjectName(QStringLiteral("structureView"));
    setMinimumSize(530, 310);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    scroll_ = new QScrollArea;
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(scroll_);
    render();
}

const QList<StructureView::Section>& StructureView::sections()
{
    static const QList<Section> all {
        {QStringLiteral("Startup"),
         {{QStringLiteral("Choose disk, access mode and locations"), {interfaceKit, windows}},
          {QStringLiteral("Validate the selected volume and paths"), {core, systemCalls}},
          {QStringLiteral("Verify the installed copy and launch"), {QStringLiteral("libcrypto.so.3"), core, windows}}}},
        {QStringLiteral("Scanner"),
         {{QStringLiteral("Enumerate files and rank the top ten"), {worker, systemCalls}},
          {QStringLiteral("Publish progress, results and reports"), {core}},
          {QStringLiteral("Verify the volume on request"), {worker, QStringLiteral("diskutil")}},
          {QStringLiteral("Review deletion and authenticate if needed"),
           {interfaceKit, QStringLiteral("libpam.so.0"), worker}}}},
        {QStringLiteral("Viewer"),
         {{QStringLiteral("Read the folder and preview its children"), {core, systemCalls}},
          {QStringLiteral("Render and manipulate the 3D graph"), {windows, QStringLiteral("libm.so.6")}},
          {QStringLiteral("Save or recall a folder layout"), {QStringLiteral("libcrypto.so.3"), core}},
          {QStringLiteral("Find apps for Open With"), {QStringLiteral("libgio-2.0.so.0"), windows}},
          {QStringLiteral("Reveal an item or review a move to Trash"),
           {QStringLiteral("Finder"), QStringLiteral("libQt6DBus.so.6"), QStringLiteral("libgio-2.0.so.0"),
            QStringLiteral("libpam.so.0")}}}},
    };
    return all;
}

const QHash<QString, QString>& StructureView::runtimeNotes()
{
    static const QHash<QString, QString> notes {
        {QStringLiteral("libstdc++.so.6"),
         QStringLiteral("Runs the language operations shared by all three screens, including strings, "
                        "collections and memory management.")},
        {QStringLiteral("libgcc_s.so.1"),
         QStringLiteral("Unwinds the stack when an operation fails, so its error becomes a status text "
                        "instead of ending the app.")},
        {QStringLiteral("libm.so.6"),
         QStringLiteral("Computes the square roots and angles of the graph layout and the camera.")},
        {QStringLiteral("libQt6Concurrent.so.6"),
         QStringLiteral("Runs async tasks during setup, scanning and folder loading.")},
    };
    return notes;
}

void StructureView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!checked_)
        startCheck();
}

void StructureView::startCheck()
{
    checked_ = true;
    const QPointer<StructureView> self(this);
    inBackground([self, resources = resources_] {
        const std::optional<QString> folder = resources();
        if (!folder)
            return;
        QList<Requirement> rows = Diagnostics::check(*folder);
        QMetaObject::invokeMethod(qApp, [self, rows = std::move(rows)] {
            if (!self)
                return;
            self->rows_ = rows;
            self->render();
        }, Qt::QueuedConnection);
    });
}

QList<StructureView::NumberedRow> StructureView::remaining() const
{
    QStringList used;
    for (const Section& section : sections())
        for (const Block& block : section.blocks)
            used += block.dependencies;
    QList<NumberedRow> rest;
    for (int index = 0; index < rows_.size(); ++index)
        if (!used.contains(rows_[index].name))
            rest.append({index, rows_[index]});
    return rest;
}

QString StructureView::label(const QString& dependency) const
{
    const auto match = std::find_if(rows_.cbegin(), rows_.cend(),
                                    [&](const Requirement& row) { return row.name == dependency; });
    if (match != rows_.cend())
        return QStringLiteral("#%1 %2").arg(match - rows_.cbegin() + 1).arg(dependency);
    if (!rows_.isEmpty())
        return dependency + QStringLiteral(" (unlisted)");
    return QStringLiteral("…");
}

QWidget* StructureView::blockCell(const Block& block) const
{
    auto* cell = new QFrame;
    cell->setObjectName(QStringLiteral("block"));
    cell->setAccessibleName(block.title);
    cell->setStyleSheet(QStringLiteral("#block { background: rgba(48, 176, 199, 31); border-radius: 6px; }"));
    auto* layout = new QVBoxLayout(cell);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(5);
    layout->addWidget(text(block.title, 0.95, true));
    QStringList labels;
    for (const QString& dependency : block.dependencies)
        labels.append(label(dependency));
    QLabel* dependencies = text(labels.join(QStringLiteral(" · ")), 0.85);
    dependencies->setObjectName(QStringLiteral("dependencies"));
    layout->addWidget(dependencies);
    layout->addStretch();
    return cell;
}

QWidget* StructureView::supportingRows(const QList<NumberedRow>& rows) const
{
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);
    for (const auto& [position, row] : rows) {
        auto* entry = new QWidget;
        entry->setObjectName(QStringLiteral("supportingRow"));
        auto* lines = new QVBoxLayout(entry);
        lines->setContentsMargins(0, 0, 0, 0);
        lines->setSpacing(3);
        lines->addWidget(text(QStringLiteral("#%1  %2").arg(position + 1).arg(row.name), 0.95, true));
        lines->addWidget(text(runtimeNotes().value(row.name, row.detail), 0.95));
        layout->addWidget(entry);
    }
    return box;
}

QWidget* StructureView::sharedRuntime() const
{
    QList<NumberedRow> noted;
    QList<NumberedRow> support;
    for (const NumberedRow& entry : remaining())
        (runtimeNotes().contains(entry.second.name) ? noted : support).append(entry);
    auto* box = new QWidget;
    box->setObjectName(QStringLiteral("sharedRuntime"));
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);
    layout->addWidget(divider());
    layout->addWidget(headline(QStringLiteral("Shared runtime")));
    layout->addWidget(supportingRows(noted));
    layout->addWidget(headline(QStringLiteral("Framework support libraries")));
    layout->addWidget(text(QStringLiteral(
        "GIO brings these libraries in at link time: the object types, lists and strings it hands "
        "back come from them. The program's own code only releases what GIO returns, so, for "
        "example, libglib-2.0.so.0 appears here even though the program keeps its own lists and "
        "strings in Qt types."), 0.95));
    layout->addWidget(supportingRows(support));
    return box;
}

void StructureView::render()
{
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(14);
    layout->addWidget(text(QStringLiteral("Tallyroom structure"), 1.45, true));
    QLabel* caption = text(QStringLiteral("Numbers in each box match the dependency list in About."));
    caption->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(caption);
    for (const Section& section : sections()) {
        layout->addWidget(headline(section.title));
        auto* grid = new BlockGrid(234);
        for (const Block& block : section.blocks)
            grid->addCell(blockCell(block));
        layout->addWidget(grid);
    }
    if (!remaining().isEmpty())
        layout->addWidget(sharedRuntime());
    layout->addStretch();
    delete scroll_->takeWidget();
    scroll_->setWidget(content);
}
