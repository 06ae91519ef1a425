#include "app/unix_signals.h"

#include <QCoreApplication>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>

#include <csignal>

#include <sys/socket.h>
#include <unistd.h>
#endif

namespace tallix {

#ifdef Q_OS_UNIX
namespace {

int signalSockets[2] = {-1, -1};

extern "C" void onStopSignal(int) {
    const char byte = 1;
    static_cast<void>(::write(signalSockets[0], &byte, 1));
}

} // namespace

void CloseOnStopSignals(std::function<void()> close) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSockets) != 0) return;
    auto* notifier =
        new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [close = std::move(close)] {
        char byte = 0;
        static_cast<void>(::read(signalSockets[1], &byte, 1));
        close();
    });
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int stop : {SIGTERM, SIGINT, SIGHUP})
        sigaction(stop, &action, nullptr);
}
#else
void CloseOnStopSignals(std::function<void()>) {}
#endif

} // namespace tallix
