#include "bench/first_paint_probe.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QWidget>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace tallix {

namespace {

template <typename Clock>
long long microseconds() {
    using std::chrono::duration_cast;
    return duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch()).count();
}

// Peak resident set size in KiB, the "VmHWM:" line of /proc/self/status (0 where there is none).
long long peakResidentKib() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

// Sees every event first, as an application event filter. A window's first frame is painted while the
// platform window handles an expose or update request, so the filter hands that event on itself and
// reports once it returns with the watched widget or one of its children painted.
class FirstPaintProbe : public QObject {
public:
    FirstPaintProbe(const QString& windowName, QObject* parent)
        : QObject(parent)
        , windowName_(windowName) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            const auto* widget = qobject_cast<const QWidget*>(watched);
            if (widget && widget->window()->objectName() == windowName_) painted_ = true;
            return false;
        }
        if (event->type() != QEvent::Expose && event->type() != QEvent::UpdateRequest) return false;
        auto* window = qobject_cast<QWindow*>(watched);
        if (!window || !isWatchedWindow(window)) return false;
        static_cast<QObject*>(window)->event(event);
        if (painted_) report();
        return true;
    }

private:
    bool isWatchedWindow(const QWindow* window) const {
        const QWidgetList widgets = QApplication::topLevelWidgets();
        for (const QWidget* widget : widgets)
            if (widget->windowHandle() == window) return widget->objectName() == windowName_;
        return false;
    }

    [[noreturn]] static void report() {
        const long long realtime = microseconds<std::chrono::system_clock>();
        const long long monotonic = microseconds<std::chrono::steady_clock>();
        const long long cpu = static_cast<long long>(std::clock()) * 1000000 / CLOCKS_PER_SEC;
        std::printf("first-paint realtime_us=%lld monotonic_us=%lld cpu_us=%lld vmhwm_kib=%lld\n", realtime,
                    monotonic, cpu, peakResidentKib());
        std::fflush(stdout);
        std::_Exit(0);
    }

    QString windowName_;
    bool painted_ = false;
};

} // namespace

void WatchFirstPaint(const QString& windowName) {
    if (qEnvironmentVariableIsEmpty("TALLIX_BENCH_FIRST_PAINT")) return;
    qApp->installEventFilter(new FirstPaintProbe(windowName, qApp));
}

} // namespace tallix
