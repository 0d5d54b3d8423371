#include "app/firstframereport.h"

#include "platform/processinfo.h"

#include <QDateTime>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>

FirstFrameReport::FirstFrameReport(qint64 t0Ns, QObject* parent)
    : QObject(parent)
    , m_t0Ns(t0Ns)
{
}

void FirstFrameReport::watch(QWidget* window)
{
    bool ok = false;
    const qint64 t0 = qEnvironmentVariable("MIREVO_BENCH_T0").toLongLong(&ok);
    if (!ok || !window)
        return;
    window->installEventFilter(new FirstFrameReport(t0, window));
}

bool FirstFrameReport::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint) {
        watched->removeEventFilter(this);
        // Reported once the paint has been handed to the window system.
        QTimer::singleShot(0, this, [this] {
            const qint64 now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                   std::chrono::system_clock::now().time_since_epoch())
                                   .count();
            std::fprintf(stderr, "first-frame-ms %.1f peak-kib %lld\n", (now - m_t0Ns) / 1e6,
                         static_cast<long long>(platform::peakResidentKib()));
            std::fflush(stderr);
            deleteLater();
        });
    }
    return false;
}
