#include "platform/FileSystemKind.h"

#include <algorithm>
#include <array>
#include <sys/vfs.h>

namespace {

// The magic numbers of linux/magic.h and the file systems' own sources, spelled out: the
// header does not name them all.
constexpr std::array<std::uint64_t, 16> kShared = {
    0x6969,     // NFS
    0x517B,     // SMB (smbfs, the old client)
    0xFF534D42, // CIFS
    0xFE534D42, // SMB2 and SMB3
    0x65735546, // FUSE: SSHFS, rclone, s3fs, GlusterFS...
    0x65735543, // FUSE control
    0x564C,     // NCP (NetWare)
    0x73757245, // Coda
    0x5346414F, // AFS (OpenAFS)
    0x6B414653, // AFS (kernel)
    0x00C36400, // Ceph
    0x01021997, // 9P (v9fs)
    0x0BD00BD0, // Lustre
    0x47504653, // GPFS
    0x01161970, // GFS2: another node of the cluster writes too
    0x7461636F, // OCFS2, likewise
};

} // namespace

bool CFileSystemKind::IsShared(std::uint64_t type) {
    return std::find(kShared.begin(), kShared.end(), type) != kShared.end();
}

std::uint64_t CFileSystemKind::TypeOf(const std::string& path) {
    struct statfs status {};
    if (::statfs(path.c_str(), &status) != 0)
        return 0;
    // f_type is signed on some architectures: the magic's 32 bits are what count.
    return static_cast<std::uint64_t>(status.f_type) & 0xFFFFFFFFU;
}
