#include "shared/platform/Mount.h"

#include <array>
#include <string_view>

bool Mount::local() const
{
    static constexpr std::array<std::string_view, 16> remote = {
        "nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs", "9p",
        "ceph", "glusterfs", "lustre", "davfs", "fuse.sshfs", "fuse.rclone", "fuse.s3fs", "fuse.glusterfs",
    };
    for (std::string_view name : remote)
        if (type == name)
            return false;
    return true;
}
