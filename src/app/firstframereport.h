#pragma once

#include <QObject>

class QWidget;

/// For the start-up benchmark: with MIREVO_BENCH_T0 set to the launch time (nanoseconds since
/// the epoch), the first time `window` paints, one line goes to standard error:
/// "first-frame-ms <ms since launch> peak-kib <peak resident memory>".
class FirstFrameReport : public QObject
{
    Q_OBJECT
public:
    /// Watches `window` when the variable is set; otherwise does nothing.
    static void watch(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit FirstFrameReport(qint64 t0Ns, QObject* parent);
    const qint64 m_t0Ns;
};
