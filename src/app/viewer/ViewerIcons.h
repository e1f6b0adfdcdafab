#pragma once

#include "app/viewer/model/SidebarModel.h"

#include <QIcon>

// The viewer's icons: the desktop's icon theme where it has them, drawn ones where not.
namespace ViewerIcons {
QIcon entry(SidebarModel::Kind kind);
QIcon open();
QIcon hand();
QIcon spin();
}
