#include "app/folders/VEntry.h"

#include "app/session/SessionDisk.h"

QString VEntry::title() const
{
    return titleWithin(SessionDisk::current());
}

QString VEntry::titleWithin(const std::optional<DiskScope>& scope) const
{
    // A UTF-8 text has at least as many bytes as UTF-16 units, so only a path no longer than
    // the root's bytes can be the root: most paths are told apart without converting them.
    if (scope && path.size() <= qsizetype(scope->root().size()) && path.toStdString() == scope->root())
        return QString::fromStdString(scope->name());
    return name().toString();
}

QStringView VEntry::name() const
{
    QStringView view(path);
    while (view.size() > 1 && view.endsWith(u'/'))
        view.chop(1);
    const qsizetype slash = view.lastIndexOf(u'/');
    return slash < 0 || view.size() == 1 ? view : view.sliced(slash + 1);
}
