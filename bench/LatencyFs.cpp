// A file system that stands for a network share: it passes every request through to a local
// folder, read-only, after waiting 1 ms (or --delay-us) in it, as a request to a NAS over NFS
// or SMB waits for the network. Requests are served by up to 64 threads, so that requests in
// flight together wait together, as they do on a share. Each open drops the file's cached
// pages, so that every visit reads the file again; folder entries and attributes stay cached
// for a minute, as an NFS client keeps them.
//
// usage: LatencyFs [--delay-us N] [--stats FILE] SOURCE MOUNTPOINT
//   runs in the foreground until unmounted (fusermount3 -u MOUNTPOINT); on the way out, writes
//   the number of requests it served to FILE.
#define FUSE_USE_VERSION 312 // 3.12: the loop takes its number of threads
#include <fuse3/fuse.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr unsigned kThreads = 64;

struct SState {
    int root = -1;
    long delayNs = 1000000;
    std::string stats;
    std::atomic<long> requests{0};
};

SState& State() {
    return *static_cast<SState*>(fuse_get_context()->private_data);
}

// The delay of one request; every operation starts with it.
void Wait() {
    SState& state = State();
    ++state.requests;
    const timespec delay{0, state.delayNs};
    while (::clock_nanosleep(CLOCK_MONOTONIC, 0, &delay, nullptr) == EINTR) {
    }
}

// Paths come as "/a/b"; below the source folder they are "a/b" ("." for the root).
const char* Relative(const char* path) {
    return path[1] == '\0' ? "." : path + 1;
}

int Result(int value) {
    return value < 0 ? -errno : value;
}

void* Init(fuse_conn_info* connection, fuse_config* config) {
    config->use_ino = 1;
    config->entry_timeout = 60;
    config->attr_timeout = 60;
    config->negative_timeout = 60;
    config->kernel_cache = 0;
    // Reads ahead that the kernel sends in the background are limited to this many at once.
    connection->max_background = 64;
    connection->congestion_threshold = 48;
    return fuse_get_context()->private_data;
}

void Destroy(void* data) {
    const auto* state = static_cast<SState*>(data);
    if (state->stats.empty())
        return;
    if (FILE* out = std::fopen(state->stats.c_str(), "w")) {
        std::fprintf(out, "%ld\n", state->requests.load());
        std::fclose(out);
    }
}

int GetAttr(const char* path, struct stat* st, fuse_file_info* file) {
    Wait();
    if (file != nullptr)
        return Result(::fstat(static_cast<int>(file->fh), st));
    return Result(::fstatat(State().root, Relative(path), st, AT_SYMLINK_NOFOLLOW));
}

int ReadLink(const char* path, char* buffer, size_t size) {
    Wait();
    const ssize_t length = ::readlinkat(State().root, Relative(path), buffer, size - 1);
    if (length < 0)
        return -errno;
    buffer[length] = '\0';
    return 0;
}

int Open(const char* path, fuse_file_info* file) {
    Wait();
    if ((file->flags & O_ACCMODE) != O_RDONLY)
        return -EROFS;
    const int fd = ::openat(State().root, Relative(path), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -errno;
    file->fh = static_cast<std::uint64_t>(fd);
    return 0;
}

int Read(const char*, char* buffer, size_t size, off_t offset, fuse_file_info* file) {
    Wait();
    return Result(static_cast<int>(::pread(static_cast<int>(file->fh), buffer, size, offset)));
}

int Flush(const char*, fuse_file_info*) {
    Wait();
    return 0;
}

int Release(const char*, fuse_file_info* file) {
    Wait();
    ::close(static_cast<int>(file->fh));
    return 0;
}

int StatFs(const char*, struct statvfs* st) {
    Wait();
    return Result(::fstatvfs(State().root, st));
}

int OpenDir(const char* path, fuse_file_info* file) {
    Wait();
    const int fd = ::openat(State().root, Relative(path), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = fd < 0 ? nullptr : ::fdopendir(fd);
    if (dir == nullptr) {
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        return -error;
    }
    file->fh = reinterpret_cast<std::uint64_t>(dir);
    return 0;
}

// One request gives as many entries as fit in the kernel's buffer; the next request goes on
// from the offset of the last one given.
int ReadDir(const char*, void* buffer, fuse_fill_dir_t fill, off_t offset, fuse_file_info* file,
            fuse_readdir_flags) {
    Wait();
    DIR* dir = reinterpret_cast<DIR*>(file->fh);
    if (offset != 0)
        ::seekdir(dir, offset);
    else
        ::rewinddir(dir);
    while (const dirent* entry = ::readdir(dir)) {
        struct stat st {};
        st.st_ino = entry->d_ino;
        st.st_mode = static_cast<mode_t>(DTTOIF(entry->d_type));
        if (fill(buffer, entry->d_name, &st, ::telldir(dir), static_cast<fuse_fill_dir_flags>(0)) !=
            0)
            break;
    }
    return 0;
}

int ReleaseDir(const char*, fuse_file_info* file) {
    Wait();
    ::closedir(reinterpret_cast<DIR*>(file->fh));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    SState state;
    int at = 1;
    for (; at + 1 < argc && std::strncmp(argv[at], "--", 2) == 0; at += 2) {
        if (std::strcmp(argv[at], "--delay-us") == 0)
            state.delayNs = std::atol(argv[at + 1]) * 1000;
        else if (std::strcmp(argv[at], "--stats") == 0)
            state.stats = argv[at + 1];
    }
    if (argc - at != 2)
        return std::fputs("usage: LatencyFs [--delay-us N] [--stats FILE] SOURCE MOUNTPOINT\n",
                          stderr),
               2;
    state.root = ::open(argv[at], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (state.root < 0)
        return std::perror(argv[at]), 1;
    // A thread's sleep may end up to its timer slack late (50 µs by default); the threads that
    // serve requests inherit this one's.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);

    fuse_operations operations{};
    operations.init = Init;
    operations.destroy = Destroy;
    operations.getattr = GetAttr;
    operations.readlink = ReadLink;
    operations.open = Open;
    operations.read = Read;
    operations.flush = Flush;
    operations.release = Release;
    operations.statfs = StatFs;
    operations.opendir = OpenDir;
    operations.readdir = ReadDir;
    operations.releasedir = ReleaseDir;
    // The library's own main does not pass on a number of threads (3.14), so the loop is set
    // up here: mounted, stopped by a signal or an unmount, then taken down.
    std::string program = argv[0];
    std::string dashO = "-o";
    std::string options = "ro,default_permissions,fsname=latencyfs";
    std::vector<char*> args{program.data(), dashO.data(), options.data()};
    fuse_args fuseArgs = FUSE_ARGS_INIT(static_cast<int>(args.size()), args.data());
    fuse* fs = fuse_new(&fuseArgs, &operations, sizeof operations, &state);
    if (fs == nullptr)
        return 1;
    int status = 1;
    if (fuse_mount(fs, argv[at + 1]) == 0) {
        fuse_session* session = fuse_get_session(fs);
        fuse_set_signal_handlers(session);
        fuse_loop_config* loop = fuse_loop_cfg_create();
        fuse_loop_cfg_set_max_threads(loop, kThreads);
        fuse_loop_cfg_set_idle_threads(loop, kThreads);
        status = fuse_loop_mt(fs, loop) == 0 ? 0 : 1;
        fuse_loop_cfg_destroy(loop);
        fuse_remove_signal_handlers(session);
        fuse_unmount(fs);
    }
    fuse_destroy(fs);
    return status;
}
