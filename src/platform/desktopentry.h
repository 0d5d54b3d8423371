#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace platform {

/// A freedesktop desktop entry ("[Desktop Entry]" group), written with the quoting and
/// escaping rules of that format so that paths with spaces or special characters work.
class DesktopEntry
{
public:
    /// Adds a string value; the value is escaped on writing (\s, \n, \t, \r, \\).
    void setValue(const QString& key, const QString& value);
    /// Sets the Exec key from a program and its arguments, each quoted where needed.
    void setExec(const QString& program, const QStringList& arguments = QStringList());
    QString value(const QString& key) const;

    /// The file's text.
    QByteArray toText() const;

    /// Writes the entry atomically; with `executable`, the file gets execute permission
    /// (desktops trust launchers on the desktop only when they are executable).
    bool write(const QString& path, bool executable = false) const;

    /// Quotes one Exec argument by the Desktop Entry rules (before string-value escaping).
    static QString quoteExecArgument(const QString& argument);
    /// Escapes a string value.
    static QString escapeValue(const QString& value);

private:
    QList<QPair<QString, QString>> m_values;
};

/// Asks the desktop to read the entries of an application menu folder again (the menu cache
/// of update-desktop-database, where that program exists; nothing otherwise).
void refreshApplicationMenu(const QString& folder);

} // namespace platform
