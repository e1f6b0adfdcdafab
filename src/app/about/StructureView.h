#pragma once

#include "app/about/Requirement.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>
#include <utility>

class QScrollArea;

// The program's three screens broken into work blocks, each labelled with the dependencies it
// relies on, numbered as in the About window's list.
class StructureView : public QWidget {
    Q_OBJECT

public:
    struct Block {
        QString title;
        // Names of checked rows: library file names, "Native scan worker", "diskutil", "Finder".
        QStringList dependencies;
    };
    struct Section {
        QString title;
        QList<Block> blocks;
    };
    using ResourcesFolder = std::function<std::optional<QString>()>;

    explicit StructureView(ResourcesFolder resources = {}, QWidget* parent = nullptr);

    static const QList<Section>& sections();
    // Library file name → what that runtime library does for the program.
    static const QHash<QString, QString>& runtimeNotes();

    const QList<Requirement>& rows() const { return rows_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    using NumberedRow = std::pair<int, Requirement>;

    QList<NumberedRow> remaining() const;
    QString label(const QString& dependency) const;
    QWidget* blockCell(const Block& block) const;
    QWidget* supportingRows(const QList<NumberedRow>& rows) const;
    QWidget* sharedRuntime() const;
    void startCheck();
    void render();

    ResourcesFolder resources_;
    QList<Requirement> rows_;
    bool checked_ = false;
    QScrollArea* scroll_ = nullptr;
};
