#pragma once

#include <optional>
#include <string>

// The integrity seal of an application bundle: Contents/_CodeSignature/CodeResources lists
// every file of the bundle with its mode and SHA-256, sorted by path.
namespace BundleSeal {
constexpr const char* sealPath = "Contents/_CodeSignature/CodeResources";

// Writes the seal of the bundle as it is now. Throws PosixError.
void write(const std::string& bundle);
// True when every listed file is there with its mode and hash, no file is unlisted and no
// link leads out of the bundle.
bool valid(const std::string& bundle);
// SHA-256 of the seal file (32 bytes), or nothing when it cannot be read.
std::optional<std::string> digest(const std::string& bundle);
}
