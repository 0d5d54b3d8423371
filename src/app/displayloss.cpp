#include "app/displayloss.h"

#include <QString>
#include <QtGlobal>

#include <atomic>
#include <cstdio>

namespace {

std::function<void()>& saveFunction()
{
    static std::function<void()> save;
    return save;
}

QtMessageHandler g_previous = nullptr;
std::atomic_flag g_saved = ATOMIC_FLAG_INIT;

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
    if (isDisplayLoss(message) && !g_saved.test_and_set() && saveFunction())
        saveFunction()();
}

} // namespace

void saveBeforeDisplayLoss(std::function<void()> save)
{
    saveFunction() = std::move(save);
    g_previous = qInstallMessageHandler(onMessage);
}
