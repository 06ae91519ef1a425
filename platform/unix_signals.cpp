#include "platform/unix_signals.h"

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include "platform/end_at_once.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

namespace tallix {
namespace {

int signalSockets[2] = {-1, -1};
std::atomic<bool> closing{false};

extern "C" void OnStopSignal(int number) {
    // Asked again while the windows close (they may wait for a lock, say): the user means it.
    if (closing.exchange(true)) EndProcessAtOnce(128 + number);
    const int savedErrno = errno;
    const char byte = 1;
    // Never blocks: one pending byte is enough, so a flood of signals that fills the socket loses nothing.
    static_cast<void>(::write(signalSockets[0], &byte, 1));
    errno = savedErrno;
}

} // namespace

void CloseOnStopSignals(std::function<void()> close) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalSockets) != 0) return;
    auto* notifier =
        new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [close = std::move(close)] {
        char bytes[64];
        while (::read(signalSockets[1], bytes, sizeof bytes) > 0) {
        }
        close();
    });
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int stop : {SIGTERM, SIGINT, SIGHUP})
        sigaction(stop, &action, nullptr);
}

} // namespace tallix

#else

namespace tallix {

void CloseOnStopSignals(std::function<void()>) {}

} // namespace tallix

#endif
