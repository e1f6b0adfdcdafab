#pragma once

#include <cstdint>
#include <optional>
#include <string>

// One file's status as the walker, the policy and the stamps see it. Links are never
// followed and automounts never triggered. `flags` uses the bit layout of FileFlags.h.
struct FileStatus {
    int32_t device = 0;
    uint64_t inode = 0;
    uint32_t mode = 0;
    uint64_t nlink = 0;
    uint32_t uid = 0;
    int64_t size = 0;
    int64_t mtimeSeconds = 0;
    int64_t mtimeNanoseconds = 0;
    int64_t ctimeSeconds = 0;
    int64_t ctimeNanoseconds = 0;
    uint32_t flags = 0;
    // The mount that holds the entry, and whether the entry is that mount's root: a bind
    // mount of the same file system shares the device, never the mount.
    uint64_t mountId = 0;
    bool mountRoot = false;

    bool isDirectory() const;
    bool isRegular() const;

    static std::optional<FileStatus> of(const std::string& path);
    static std::optional<FileStatus> at(int folderFd, const char* name);
    static std::optional<FileStatus> ofDescriptor(int fd);

    // Linux devices are 64-bit; everything stored, compared or stamped uses this encoding,
    // which fits a signed 32-bit integer for every major number below 2048.
    static int32_t encodeDevice(uint32_t major, uint32_t minor);
};
