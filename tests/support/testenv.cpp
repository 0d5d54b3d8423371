#include "support/testenv.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QWidget>
#include <QFile>
#include <QLocale>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdlib>

namespace testenv {

namespace {

void setEnv(const char* name, const QString& value)
{
    qputenv(name, value.toLocal8Bit());
}

} // namespace

void prepare()
{
    // Lives until process end so that files written during the tests stay inspectable by them.
    static QTemporaryDir* home = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/mirevo-test-XXXXXX"));
    const QString root = home->path();
    QDir().mkpath(root + QStringLiteral("/.config"));
    QDir().mkpath(root + QStringLiteral("/.local/share"));
    QDir().mkpath(root + QStringLiteral("/runtime"));
    QFile::setPermissions(root + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    setEnv("HOME", root);
    setEnv("XDG_CONFIG_HOME", root + QStringLiteral("/.config"));
    setEnv("XDG_DATA_HOME", root + QStringLiteral("/.local/share"));
    setEnv("XDG_RUNTIME_DIR", root + QStringLiteral("/runtime"));
    // No desktop services of the machine running the tests (a notification daemon, for one):
    // a bus address where nothing answers.
    setEnv("DBUS_SESSION_BUS_ADDRESS", QStringLiteral("unix:path=") + root + QStringLiteral("/runtime/no-session-bus"));
    setEnv("TZ", QStringLiteral("Europe/Lisbon"));
    setEnv("LC_ALL", QStringLiteral("C.UTF-8"));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        setEnv("QT_QPA_PLATFORM", QStringLiteral("offscreen"));
    tzset();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QStandardPaths::setTestModeEnabled(true);
}

QString programPath()
{
    return qEnvironmentVariable("MIREVO_BINARY");
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

QString readFile(const QString& path)
{
    return QString::fromUtf8(readBytes(path));
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size() && file.flush();
}

void typeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &press);
        QCoreApplication::sendEvent(widget, &release);
    }
}

bool showActive(QWidget* window)
{
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

} // namespace testenv
