#pragma once

#include "shared/DiskScope.h"
#include "shared/platform/FileStatus.h"

#include <functional>
#include <string>

// The freedesktop Trash, reached only through descriptors: the item's folder is opened beneath
// the scope's root with no link followed and no mount crossed, the item is checked against its
// reviewed identity, moved with one no-replace rename and checked again where it landed.
namespace FreedesktopTrash {

// The points between a check and the act it guards, where tests make races happen.
enum class Step { parentOpened, trashOpened, itemChecked, moved };
using StepHook = std::function<void(Step)>;

// Moves the item at `path` into the Trash of its own mount. `reviewed` holds its device,
// inode, mount and change time as reviewed. Throws TrashProblem when the item is not the one
// reviewed (nothing is moved, and anything moved by a race is put back), Problem when no
// Trash can take it: every Trash folder used is this user's, writable by nobody else and
// reached without a link, and a shared ".Trash" counts only when it is sticky and the
// administrator's or this user's.
void move(const std::string& path, const FileStatus& reviewed, const DiskScope& scope,
          const StepHook& hook = {});

// The percent-encoded form of a path as trash info files record it.
std::string encodedPath(std::string_view path);

}
