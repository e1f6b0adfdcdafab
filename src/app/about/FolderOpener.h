#pragma once

// Whether the desktop has a default application for opening folders. Kept apart from Qt's
// headers, whose keyword macros clash with GIO's.
bool folderOpenerPresent();
