#include "app/displayloss.h"

#include <QString>
#include <QtGlobal>

#include <mutex>
#include <cstdio>

namespace {

std::function<void()>& saveFunction()
{
    static std::function<void()> save;
    return save;
}

QtMessageHandler g_previous = nullptr;
bool g_saved = false;

// The toolkit may report the loss from two threads at once (Wayland: its event thread and the
// main thread), and ends the process right after the second report: the second one waits here
// until the first one's save is done. Recursive, as the save may log through this handler.
std::recursive_mutex& saveLock()
{
    static std::recursive_mutex lock;
    return lock;
}

// The toolkit's own words just before it ends the process for a lost display connection.
bool isDisplayLoss(const QString& message)
{
    return message.contains(QLatin1String("X11 connection broke"))
        || message.contains(QLatin1String("Wayland connection broke"))
        || message.contains(QLatin1String("Wayland connection experienced a fatal error"));
}

void onMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (g_previous)
        g_previous(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qUtf8Printable(qFormatLogMessage(type, context, message)));
    if (!isDisplayLoss(message))
        return;
    const std::lock_guard<std::recursive_mutex> lock(saveLock());
    if (g_saved || !saveFunction())
        return;
    g_saved = true;
    saveFunction()();
}

} // namespace

void saveBeforeDisplayLoss(std::function<void()> save)
{
    saveFunction() = std::move(save);
    g_previous = qInstallMessageHandler(onMessage);
}
