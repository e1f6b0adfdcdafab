#pragma once

#include <string>

namespace Uuid {
// A fresh random (version 4) UUID in upper-case canonical form.
std::string random();
}
