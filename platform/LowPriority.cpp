#include "platform/LowPriority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr int kNice = 10;
// ioprio_set(IOPRIO_WHO_PROCESS, thread, IOPRIO_PRIO_VALUE(IOPRIO_CLASS_IDLE, 0)): the idle class
// is 3, shifted by 13; glibc has no wrapper.
constexpr int kIoWhoProcess = 1;
constexpr int kIoIdleClass = 3 << 13;

} // namespace

void CLowPriority::ForThisThread() {
    const pid_t thread = ::gettid();
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(thread), kNice);
    ::syscall(SYS_ioprio_set, kIoWhoProcess, thread, kIoIdleClass);
}
