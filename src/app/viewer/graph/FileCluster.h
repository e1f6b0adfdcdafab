#pragma once

#include "app/viewer/model/Vec3.h"

// Where the files of a folder gather when the folder also holds folders: a flattened
// golden-angle ball beyond the ring, on the positive x side.
namespace FileCluster {
// The ball's radius for `count` files: grows with their number, within 1.2 … 3.3.
double radius(int count);
// The place of file `ordinal` among `count`; `spread` moves the ball out past the dense sphere.
Vec3 position(int ordinal, int count, bool spread);
}
