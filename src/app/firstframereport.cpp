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

namespace {

/// The launch time the benchmark passed, in nanoseconds since the epoch; 0 when not set.
qint64 benchStart()
{
    static const qint64 t0 = qEnvironmentVariable("MIREVO_BENCH_T0").toLongLong();
    return t0;
}

double msSinceLaunch()
{
    const qint64 now =
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    return (now - benchStart()) / 1e6;
}

} // namespace

void reportFirstFrame(QWidget* window)
{
    if (benchStart() == 0)
        return;
    afterFirstPaint(
        window,
        [] {
            std::fprintf(stderr, "first-frame-ms %.1f peak-kib %lld\n", msSinceLaunch(),
                         static_cast<long long>(platform::peakResidentKib()));
            std::fflush(stderr);
        },
        60000);
}

void reportStartupPhase(const char* name)
{
    if (benchStart() == 0)
        return;
    std::fprintf(stderr, "phase %s %.1f\n", name, msSinceLaunch());
    std::fflush(stderr);
}
