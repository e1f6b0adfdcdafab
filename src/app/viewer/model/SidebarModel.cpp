#include "app/viewer/model/SidebarModel.h"

#include "app/session/SessionDisk.h"
#include "app/texts/Fmt.h"
#include "app/viewer/model/Branch.h"

SidebarModel::SidebarModel(Branch& b, QObject* parent) : QAbstractListModel(parent), b_(b)
{
    connect(&b_, &Branch::changed, this, &SidebarModel::follow);
    follow();
}

int SidebarModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

QVariant SidebarModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_.size())
        return {};
    const VEntry& entry = rows_.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return entry.titleWithin(scope_);
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
    case PathRole:
        return entry.path;
    case KindRole:
        return kindOf(entry);
    case OpensRole:
        return entry.folder;
    case SelectedRole:
        return entry.path == selected_;
    default:
        return {};
    }
}

QHash<int, QByteArray> SidebarModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert(PathRole, "path");
    names.insert(KindRole, "kind");
    names.insert(OpensRole, "opens");
    names.insert(SelectedRole, "selected");
    return names;
}

int SidebarModel::rowOf(const QString& path) const
{
    for (qsizetype row = 0; row < rows_.size(); ++row)
        if (rows_.at(row).path == path)
            return int(row);
    return -1;
}

SidebarModel::Kind SidebarModel::kindOf(const VEntry& entry)
{
    return entry.folder ? folder : entry.link ? link : file;
}

QString SidebarModel::detailKind(const VEntry& entry)
{
    switch (kindOf(entry)) {
    case folder:
        return QStringLiteral("Folder");
    case link:
        return QStringLiteral("Symbolic link");
    case file:
        break;
    }
    return fmt(entry.bytes);
}

void SidebarModel::follow()
{
    const QString selected = b_.selected() ? b_.selected()->path : QString();
    if (b_.visibleRevision() != revision_) {
        beginResetModel();
        revision_ = b_.visibleRevision();
        rows_ = b_.visible();
        scope_ = SessionDisk::current();
        selected_ = selected;
        endResetModel();
        return;
    }
    if (selected == selected_)
        return;
    const int before = selected_.isEmpty() ? -1 : rowOf(selected_);
    selected_ = selected;
    updateSelectedRow(before);
    updateSelectedRow(selected_.isEmpty() ? -1 : rowOf(selected_));
}

void SidebarModel::updateSelectedRow(int row)
{
    if (row < 0)
        return;
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed, {SelectedRole});
}
