#include "NoDisplayGuard.h"

#include "CommandLine.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

std::mutex g_mutex;
std::string g_line;
std::vector<HeldMessage> g_held;
QtMessageHandler g_previous = nullptr;

void OnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg) {
        // Qt aborts once this returns; nothing of ours is open yet, so end here instead.
        std::fputs(g_line.c_str(), stderr);
        std::fflush(stderr);
        std::_Exit(kExitNoDisplay);
    }
    const std::lock_guard<std::mutex> lock(g_mutex);
    g_held.push_back({type, QByteArray(context.category), text});
}

} // namespace

CNoDisplayGuard::CNoDisplayGuard(std::string line)
{
    g_line = std::move(line);
    g_previous = qInstallMessageHandler(OnQtMessage);
}

CNoDisplayGuard::~CNoDisplayGuard()
{
    qInstallMessageHandler(g_previous);
    std::vector<HeldMessage> held;
    {
        const std::lock_guard<std::mutex> lock(g_mutex);
        held.swap(g_held);
    }
    for (const HeldMessage& message : held) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        if (g_previous != nullptr)
            g_previous(message.type, context, message.text);
        else
            std::fprintf(stderr, "%s\n", qPrintable(message.text));
    }
}
