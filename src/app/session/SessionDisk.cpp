#include "app/session/SessionDisk.h"

#include "shared/InstallSafety.h"

#include <atomic>
#include <mutex>

namespace {

std::mutex lock;
std::optional<DiskScope> scope;
QUuid currentRevision = QUuid::createUuid();
std::atomic<bool> blocked = false;

}

namespace SessionDisk {

std::optional<DiskScope> current()
{
    const std::lock_guard guard(lock);
    return scope;
}

void setCurrent(const DiskScope& value)
{
    const std::lock_guard guard(lock);
    scope = value;
    currentRevision = QUuid::createUuid();
}

QUuid revision()
{
    const std::lock_guard guard(lock);
    return currentRevision;
}

bool trashBlocked()
{
    return blocked;
}

void setTrashBlocked(bool value)
{
    blocked = value;
}

bool writable()
{
    const auto value = current();
    return value && !value->readOnly();
}

QString defaultData()
{
    return QString::fromStdString(InstallSafety::defaultData());
}

}
