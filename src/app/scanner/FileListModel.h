#pragma once

#include "shared/Wire.h"

#include <QAbstractListModel>

#include <vector>

class Controller;

// The ranked files of the last scan as the scanner lists them: the rows of the chosen group
// (and "Selectable only"), largest first, with what each row is and whether a click may
// toggle it now. Follows the controller: a change of state updates rows in place, a change of
// the listed files resets the list.
class FileListModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum class Kind { Selectable, Unlockable, ReportOnly };
    enum Role {
        PathRole = Qt::UserRole + 1,
        SizeRole,
        TagRole,
        KindRole,
        SelectedRole,
        RemovedRole,
    };

    explicit FileListModel(Controller& c, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Every row stays enabled, so it keeps its focus and context menu; only a row a click may
    // toggle now is selectable.
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    const Row& rowAt(int index) const { return rows_.at(static_cast<size_t>(index)).row; }
    Kind kind(int index) const;
    QString tag(int index) const;

    // The scan's rows that carry the key of the group and "Selectable only", largest first,
    // equal sizes in the scan's order.
    static std::vector<Row> listedRows(const Controller& c);

signals:
    // Another group was chosen or "Selectable only" switched: a new list, not the old one
    // updated.
    void listReplaced();

private:
    struct State {
        bool selected = false;
        bool approved = false;
        bool removed = false;
        friend bool operator==(const State&, const State&) = default;
    };
    struct Listed {
        Row row;
        State state;
    };

    static std::string listingKey(const Controller& c);
    void refresh();
    void refreshRows();
    // The marks and whether rows toggle now, for the same rows.
    void refreshStates();
    bool togglesNow() const;
    State stateOf(const Row& row) const;

    Controller& c_;
    std::vector<Listed> rows_;
    std::string listing_;
    bool togglable_ = false;
};
