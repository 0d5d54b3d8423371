#pragma once

#include <QHash>
#include <QIcon>
#include <QString>
#include <QUuid>

/// One icon a user can pick for a group.
struct FocusIconEntry
{
    QString displayName;
    QIcon icon;
};

using FocusIconMap = QHash<QString, FocusIconEntry>;

/// The fixed catalogue of group icons, built on first use from the compiled-in pictures.
class FocusIconCatalogue
{
public:
    static FocusIconCatalogue* instance();
    static void destroy();

    /// The keys a user can pick, in the order they are offered.
    static QStringList keys();

    const FocusIconMap& entries() const { return m_entries; }

private:
    FocusIconCatalogue();
    FocusIconMap m_entries;
};

enum CalendarIconKind { CalendarReset = 0, CalendarNextMonth = 1, CalendarPrevMonth = 2 };

/// The picture of a group: its stored key when the catalogue has it, else the picture of the
/// fixed group (the Trash full or empty), else a yellow star. Null for a null id.
QIcon focusGroupIcon(const QUuid& groupId, const QString& iconKey, bool isEmpty);
/// The catalogue icon of a key; null for an empty or unknown key.
QIcon focusIconByKey(const QString& iconKey);
/// A copy of the whole catalogue.
FocusIconMap focusIconCatalogue();
/// The program icon at size 0 (all sizes), 16, 32, 48 or 256; null for any other size.
/// `suffix` picks a variant of the 16-pixel picture ("_black", "_white") when one exists.
QIcon applicationIcon(int size, const QString& suffix = QString());
QIcon trayIcon();
QIcon calendarIcon(int kind);
