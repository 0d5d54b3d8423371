#pragma once

#include <QObject>

class QSocketNotifier;

namespace platform {

/// Turns the termination signals (SIGTERM, SIGINT, SIGHUP) into a Qt signal delivered on the
/// thread that created the object, so the program can quit in order and save its data.
/// Only one instance may exist at a time.
class QuitSignals : public QObject
{
    Q_OBJECT
public:
    /// Holds the termination signals back until a QuitSignals object exists, so that one
    /// arriving while the program starts is delivered then instead of killing it.
    static void holdUntilInstalled();

    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

    /// False when the handlers could not be installed; the signals then keep their default
    /// effect (they end the process) and are no longer held back.
    bool isActive() const;

Q_SIGNALS:
    /// Emitted once per received signal, with the signal number.
    void quitRequested(int signalNumber);

private:
    void _readSignal();

    int m_fds[2] = {-1, -1};
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace platform
