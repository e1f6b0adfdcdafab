#include "app/folders/VEntry.h"

#include "app/session/SessionDisk.h"
#include "shared/Paths.h"

QString VEntry::title() const
{
    return titleWithin(SessionDisk::current());
}

QString VEntry::titleWithin(const std::optional<DiskScope>& scope) const
{
    const std::string raw = path.toStdString();
    if (scope && raw == scope->root())
        return QString::fromStdString(scope->name());
    return QString::fromStdString(std::string(Paths::lastComponent(raw)));
}
