#include "platform/display_connection.h"

#include "platform/display_platform.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace tallix {
namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

// Messages that arise while the application connects to the window system, held back: when that
// fails, Qt would print several lines and abort with a core dump.
std::vector<HeldMessage> heldMessages;

QString firstLine(const QString& text) {
    return text.section(QLatin1Char('\n'), 0, 0).trimmed();
}

void holdStartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        heldMessages.push_back({type, QByteArray(context.category ? context.category : "default"), text});
        return;
    }
    // The first complaint names the cause (no display, say); Qt's fatal line only says that it gives up.
    QString cause = firstLine(text);
    for (const HeldMessage& held : heldMessages) {
        if (held.type == QtWarningMsg || held.type == QtCriticalMsg) {
            cause = firstLine(held.text);
            break;
        }
    }
    std::fprintf(stderr, "tallix: cannot open a display: %s\n", cause.toLocal8Bit().constData());
    std::fflush(stderr);
    std::_Exit(1);
}

// Passes the held messages on as if they had arisen now.
void releaseStartupMessages() {
    for (const HeldMessage& held : heldMessages)
        qt_message_output(held.type, QMessageLogContext(nullptr, 0, nullptr, held.category.constData()),
                          held.text);
    heldMessages.clear();
}

} // namespace

std::unique_ptr<QApplication> ConnectToDisplay(int& argc, char** argv) {
    ChooseDisplayPlatform();
    const QtMessageHandler standardHandler = qInstallMessageHandler(holdStartupMessage);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(standardHandler);
    releaseStartupMessages();
    return app;
}

} // namespace tallix
