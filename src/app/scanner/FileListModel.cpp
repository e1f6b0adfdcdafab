#include "app/scanner/FileListModel.h"

#include "app/operations/Controller.h"
#include "app/texts/Fmt.h"
#include "shared/Paths.h"
#include "shared/RowGroups.h"

#include <algorithm>

FileListModel::FileListModel(Controller& c, QObject* parent) : QAbstractListModel(parent), c_(c), listing_(listingKey(c))
{
    connect(&c_, &Controller::rowsChanged, this, &FileListModel::refresh);
    connect(&c_, &Controller::changed, this, &FileListModel::refreshStates);
    refresh();
}

std::string FileListModel::listingKey(const Controller& c)
{
    return std::string(c.onlyPersonal() ? RowGroups::selectablePrefix : std::string_view()) + c.group().toStdString();
}

std::vector<Row> FileListModel::listedRows(const Controller& c)
{
    std::vector<Row> rows;
    if (!c.data())
        return rows;
    const std::string key = listingKey(c);
    for (const Row& row : c.data()->rows)
        if (std::find(row.groups.begin(), row.groups.end(), key) != row.groups.end())
            rows.push_back(row);
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.bytes > b.bytes; });
    return rows;
}

bool FileListModel::togglesNow() const
{
    return !c_.readOnly() && c_.data() && !c_.data()->report.empty() && !c_.authenticating() && !c_.busy()
           && !c_.blocked();
}

FileListModel::State FileListModel::stateOf(const Row& row) const
{
    return {c_.selection().count(row.raw) > 0, c_.approved().count(row.raw) > 0, c_.removed().count(row.raw) > 0};
}

void FileListModel::refresh()
{
    refreshRows();
    std::string listing = listingKey(c_);
    if (listing == listing_)
        return;
    listing_ = std::move(listing);
    emit listReplaced();
}

void FileListModel::refreshRows()
{
    std::vector<Row> listed = listedRows(c_);
    const bool sameRows = std::equal(listed.begin(), listed.end(), rows_.begin(), rows_.end(),
                                     [](const Row& row, const Listed& shown) { return row == shown.row; });
    if (!sameRows) {
        beginResetModel();
        rows_.clear();
        for (Row& row : listed)
            rows_.push_back({std::move(row), {}});
        for (Listed& shown : rows_)
            shown.state = stateOf(shown.row);
        togglable_ = togglesNow();
        endResetModel();
        return;
    }
    refreshStates();
}

void FileListModel::refreshStates()
{
    const bool togglableChanged = togglable_ != togglesNow();
    togglable_ = togglesNow();
    for (size_t i = 0; i < rows_.size(); ++i) {
        const State state = stateOf(rows_[i].row);
        if (state == rows_[i].state && !togglableChanged)
            continue;
        rows_[i].state = state;
        const QModelIndex changed = index(static_cast<int>(i));
        emit dataChanged(changed, changed);
    }
}

int FileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

FileListModel::Kind FileListModel::kind(int index) const
{
    const Listed& shown = rows_.at(static_cast<size_t>(index));
    if (shown.row.allowed || shown.state.approved)
        return Kind::Selectable;
    return shown.row.unlockable ? Kind::Unlockable : Kind::ReportOnly;
}

QString FileListModel::tag(int index) const
{
    const Listed& shown = rows_.at(static_cast<size_t>(index));
    if (shown.state.removed)
        return QStringLiteral("Deleted");
    if (shown.row.unlockable)
        return shown.state.approved ? QStringLiteral("Unlocked") : QStringLiteral("Click to unlock");
    return shown.row.allowed ? QString() : QStringLiteral("Report only");
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Listed& shown = rows_.at(static_cast<size_t>(index.row()));
    const QString name = QString::fromStdString(std::string(Paths::lastComponent(shown.row.path)));
    switch (role) {
    case Qt::DisplayRole:
        return name;
    case Qt::AccessibleTextRole: {
        const Kind k = kind(index.row());
        const QString prefix = k == Kind::Selectable   ? QStringLiteral("Select ")
                               : k == Kind::Unlockable ? QStringLiteral("Unlock ")
                                                       : QStringLiteral("Report only: ");
        return prefix + name;
    }
    case Qt::AccessibleDescriptionRole:
        return shown.state.removed    ? QStringLiteral("Deleted")
               : shown.state.selected ? QStringLiteral("Selected")
                                      : QStringLiteral("Not selected");
    case Qt::ToolTipRole:
    case PathRole:
        return QString::fromStdString(shown.row.path);
    case SizeRole:
        return fmt(shown.row.bytes);
    case TagRole:
        return tag(index.row());
    case KindRole:
        return static_cast<int>(kind(index.row()));
    case SelectedRole:
        return shown.state.selected;
    case RemovedRole:
        return shown.state.removed;
    default:
        return {};
    }
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return Qt::NoItemFlags;
    const bool selectable = togglable_ && !rows_.at(static_cast<size_t>(index.row())).state.removed;
    return Qt::ItemIsEnabled | (selectable ? Qt::ItemIsSelectable : Qt::NoItemFlags);
}
