#include "app/firstframereport.h"

#include "platform/processinfo.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>

namespace {

class FirstPaintWatcher : public QObject
{
public:
    FirstPaintWatcher(QWidget* window, std::function<void()> action, int fallbackMs)
        : QObject(window)
        , m_action(std::move(action))
    {
        window->installEventFilter(this);
        QTimer::singleShot(fallbackMs, this, &FirstPaintWatcher::_run);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        // Run once the paint has been handed to the window system.
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, this, &FirstPaintWatcher::_run);
        return false;
    }

private:
    void _run()
    {
        if (!m_action)
            return;
        const std::function<void()> action = std::move(m_action);
        m_action = nullptr;
        parent()->removeEventFilter(this);
        deleteLater();
        action();
    }

    std::function<void()> m_action;
};

} // namespace

void afterFirstPaint(QWidget* window, std::function<void()> action, int fallbackMs)
{
    if (window)
        new FirstPaintWatcher(window, std::move(action), fallbackMs);
}

void reportFirstFrame(QWidget* window)
{
    bool ok = false;
    const qint64 t0 = qEnvironmentVariable("MIREVO_BENCH_T0").toLongLong(&ok);
    if (!ok)
        return;
    afterFirstPaint(
        window,
        [t0] {
            const qint64 now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                   std::chrono::system_clock::now().time_since_epoch())
                                   .count();
            std::fprintf(stderr, "first-frame-ms %.1f peak-kib %lld\n", (now - t0) / 1e6,
                         static_cast<long long>(platform::peakResidentKib()));
            std::fflush(stderr);
        },
        60000);
}
