#pragma once

#include "app/folders/VEntry.h"

#include <QAbstractListModel>
#include <QList>

#include <optional>

class Branch;

// The sidebar's entry list: one row per visible entry of the branch, in order. Follows the
// branch by itself: a new list resets the rows, a new selection only updates the two rows
// concerned.
class SidebarModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Kind { file, folder, link };
    enum Role {
        PathRole = Qt::UserRole + 1,
        KindRole,
        // A folder row has an "Open" control.
        OpensRole,
        SelectedRole,
    };

    explicit SidebarModel(Branch& b, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    const VEntry& entry(int row) const { return rows_.at(row); }
    // The row of the entry with this path, or -1.
    int rowOf(const QString& path) const;
    // What the selection details say of an entry: its kind, or its size for a file.
    static QString detailKind(const VEntry& entry);
    static Kind kindOf(const VEntry& entry);

private:
    void follow();
    void updateSelectedRow(int row);

    Branch& b_;
    QList<VEntry> rows_;
    // The scope the rows were taken in; titles are made only for the rows a view asks for.
    std::optional<DiskScope> scope_;
    quint64 revision_ = 0;
    QString selected_;
};
