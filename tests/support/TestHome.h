#pragma once

#include <string>

// The home folder every test of this process sees: a private temporary folder set as HOME
// before anything reads it.
namespace TestHome {
const std::string& path();
}
