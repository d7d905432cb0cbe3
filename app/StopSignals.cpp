#include "app/StopSignals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::array kSignals = {SIGTERM, SIGINT, SIGHUP};

// [0] is written by the handler, [1] read by the event loop.
std::array<int, 2> pipeEnds = {-1, -1};

extern "C" void WriteSignal(int signal) {
    const int savedErrno = errno;
    const auto number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[0], &number, 1);
    errno = savedErrno;
}

} // namespace

CStopSignals::CStopSignals(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pipeEnds.data()) != 0)
        return;
    notifier_ = new QSocketNotifier(pipeEnds[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &CStopSignals::OnReadable);
    struct sigaction action {};
    action.sa_handler = WriteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
}

// The defaults come back before the socket goes: a late signal then ends the process as usual.
CStopSignals::~CStopSignals() {
    for (const int signal : kSignals)
        std::signal(signal, SIG_DFL);
    for (int& end : pipeEnds) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
}

void CStopSignals::OnReadable() {
    unsigned char number = 0;
    while (::read(pipeEnds[1], &number, 1) == 1)
        Q_EMIT Received(number);
}
