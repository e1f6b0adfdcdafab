#pragma once

#include <cstdint>

// File flags in the layout the policy's masks are written for. Linux knows only the two
// system flags (immutable, append); the user flags, the restricted and the dataless flag
// never occur here.
namespace FileFlags {
constexpr uint32_t userImmutable = 0x2;
constexpr uint32_t userAppend = 0x4;
constexpr uint32_t systemImmutable = 0x20000;
constexpr uint32_t systemAppend = 0x40000;
constexpr uint32_t restricted = 0x80000;
constexpr uint32_t dataless = 0x40000000;

// Sets the flags of an open file; false when the file system cannot represent them or
// refuses the change.
bool set(int fd, uint32_t flags);
}
