#include "platform/desktopentry.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace platform {

void DesktopEntry::setValue(const QString& key, const QString& value)
{
    for (auto& pair : m_values) {
        if (pair.first == key) {
            pair.second = value;
            return;
        }
    }
    m_values.append(qMakePair(key, value));
}

void DesktopEntry::setExec(const QString& program, const QStringList& arguments)
{
    QStringList parts;
    parts << quoteExecArgument(program);
    for (const QString& argument : arguments)
        parts << quoteExecArgument(argument);
    setValue(QStringLiteral("Exec"), parts.join(QLatin1Char(' ')));
}

QString DesktopEntry::value(const QString& key) const
{
    for (const auto& pair : m_values) {
        if (pair.first == key)
            return pair.second;
    }
    return QString();
}

QString DesktopEntry::quoteExecArgument(const QString& argument)
{
    // "%" introduces field codes anywhere in Exec, so it is doubled in every argument.
    QString text = argument;
    text.replace(QLatin1Char('%'), QStringLiteral("%%"));
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = text.isEmpty();
    for (QChar c : text) {
        if (reserved.contains(c)) {
            needsQuotes = true;
            break;
        }
    }
    if (!needsQuotes)
        return text;
    QString quoted;
    quoted.reserve(text.size() + 2);
    quoted += QLatin1Char('"');
    for (QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted += QLatin1Char('"');
    return quoted;
}

QString DesktopEntry::escapeValue(const QString& value)
{
    QString escaped;
    escaped.reserve(value.size());
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        switch (c.unicode()) {
        case '\\': escaped += QStringLiteral("\\\\"); break;
        case '\n': escaped += QStringLiteral("\\n"); break;
        case '\t': escaped += QStringLiteral("\\t"); break;
        case '\r': escaped += QStringLiteral("\\r"); break;
        case ' ':
            // Only a leading space would be lost by readers.
            escaped += i == 0 ? QStringLiteral("\\s") : QStringLiteral(" ");
            break;
        default: escaped += c; break;
        }
    }
    return escaped;
}

QByteArray DesktopEntry::toText() const
{
    QString text = QStringLiteral("[Desktop Entry]\n");
    for (const auto& pair : m_values)
        text += pair.first + QLatin1Char('=') + escapeValue(pair.second) + QLatin1Char('\n');
    return text.toUtf8();
}

bool DesktopEntry::write(const QString& path, bool executable) const
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray text = toText();
    if (file.write(text) != text.size()) {
        file.cancelWriting();
        return false;
    }
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    if (executable)
        permissions |= QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    file.setPermissions(permissions);
    return file.commit();
}

void refreshApplicationMenu(const QString& folder)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("update-desktop-database"));
    if (program.isEmpty() || folder.isEmpty() || !QFileInfo(folder).isDir())
        return;
    QProcess process;
    process.start(program, {folder});
    if (!process.waitForFinished(10000))
        process.kill();
}

} // namespace platform
