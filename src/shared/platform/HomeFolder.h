#pragma once

#include <string>

namespace HomeFolder {
// $HOME when it is set and absolute, otherwise the password database's entry.
std::string path();
}
