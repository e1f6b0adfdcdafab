#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Private folders that removals killed before their end left in a folder: their entries are
// put back under their own names and the folders removed. Only this user's folders, on the
// folder's own mount, that no running removal holds, are touched.
namespace Leftovers {
// Puts back the entries of every leftover in `parent` (shown as `shownFolder`); returns one
// log line per entry that says where it is now.
std::vector<std::string> restore(int parent, std::string_view shownFolder);
// Whether a leftover of the run tagged `tag` in `parent` holds `name`; none when `parent` has
// no leftover of that run.
std::optional<bool> holds(int parent, std::string_view tag, const std::string& name);
}
