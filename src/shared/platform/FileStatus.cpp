#include "shared/platform/FileStatus.h"

#include "shared/platform/FileFlags.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr unsigned wanted = STATX_TYPE | STATX_MODE | STATX_NLINK | STATX_UID | STATX_INO | STATX_SIZE
                            | STATX_MTIME | STATX_CTIME | STATX_MNT_ID;

FileStatus fromStatx(const struct statx& sx)
{
    FileStatus st;
    st.device = FileStatus::encodeDevice(sx.stx_dev_major, sx.stx_dev_minor);
    st.inode = sx.stx_ino;
    st.mode = sx.stx_mode;
    st.nlink = sx.stx_nlink;
    st.uid = sx.stx_uid;
    st.size = static_cast<int64_t>(sx.stx_size);
    st.mtimeSeconds = sx.stx_mtime.tv_sec;
    st.mtimeNanoseconds = sx.stx_mtime.tv_nsec;
    st.ctimeSeconds = sx.stx_ctime.tv_sec;
    st.ctimeNanoseconds = sx.stx_ctime.tv_nsec;
    st.mountId = sx.stx_mnt_id;
    st.mountRoot = (sx.stx_attributes_mask & sx.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    if (sx.stx_attributes_mask & sx.stx_attributes & STATX_ATTR_IMMUTABLE)
        st.flags |= FileFlags::systemImmutable;
    if (sx.stx_attributes_mask & sx.stx_attributes & STATX_ATTR_APPEND)
        st.flags |= FileFlags::systemAppend;
    return st;
}

std::optional<FileStatus> query(int folderFd, const char* name, int extraFlags)
{
    struct statx sx;
    if (statx(folderFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | extraFlags, wanted, &sx) != 0)
        return std::nullopt;
    return fromStatx(sx);
}

}

bool FileStatus::isDirectory() const
{
    return S_ISDIR(mode);
}

bool FileStatus::isRegular() const
{
    return S_ISREG(mode);
}

std::optional<FileStatus> FileStatus::of(const std::string& path)
{
    return query(AT_FDCWD, path.c_str(), 0);
}

std::optional<FileStatus> FileStatus::at(int folderFd, const char* name)
{
    return query(folderFd, name, 0);
}

std::optional<FileStatus> FileStatus::ofDescriptor(int fd)
{
    return query(fd, "", AT_EMPTY_PATH);
}

int32_t FileStatus::encodeDevice(uint32_t major, uint32_t minor)
{
    return static_cast<int32_t>((major << 20) | (minor & 0xFFFFF));
}
