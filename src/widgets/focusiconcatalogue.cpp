#include "widgets/focusiconcatalogue.h"

#include "store/focusgroup.h"

#include <QFile>

namespace {

FocusIconCatalogue*& instancePointer()
{
    static FocusIconCatalogue* catalogue = nullptr;
    return catalogue;
}

struct CatalogueRow
{
    const char* key;
    const char* displayName;
};

// Display names are English; the icon chooser shows them in the interface language.
const CatalogueRow kRows[] = {
    {"star", QT_TRANSLATE_NOOP("FocusIconCatalogue", "Starred")},
    {"star_blue", QT_TRANSLATE_NOOP("FocusIconCatalogue", "Blue Star")},
    {"star_green", QT_TRANSLATE_NOOP("FocusIconCatalogue", "Green Star")},
    {"star_red", QT_TRANSLATE_NOOP("FocusIconCatalogue", "Red Star")},
    {"star_yellow", QT_TRANSLATE_NOOP("FocusIconCatalogue", "Yellow Star")},
    {"inbox", QT_TRANSLATE_NOOP("FocusIconCatalogue", "Inbox")},
    {"completed", QT_TRANSLATE_NOOP("FocusIconCatalogue", "Completed")},
    {"completed2", QT_TRANSLATE_NOOP("FocusIconCatalogue", "To Check")},
    {"trash_empty", QT_TRANSLATE_NOOP("FocusIconCatalogue", "Trash")},
    {"home", QT_TRANSLATE_NOOP("FocusIconCatalogue", "Home")},
    {"internet", QT_TRANSLATE_NOOP("FocusIconCatalogue", "Internet")},
    {"someday", QT_TRANSLATE_NOOP("FocusIconCatalogue", "Some Day")},
    {"party", QT_TRANSLATE_NOOP("FocusIconCatalogue", "Party Time")},
    {"mobile", QT_TRANSLATE_NOOP("FocusIconCatalogue", "Calls")},
    {"money", QT_TRANSLATE_NOOP("FocusIconCatalogue", "Money")},
};

QIcon pairIcon(const QString& name)
{
    QIcon icon;
    const QString base = QStringLiteral(":/icons_focus/") + name;
    icon.addFile(base + QStringLiteral("_20"), QSize(20, 20));
    icon.addFile(base + QStringLiteral("_48"), QSize(48, 48));
    return icon;
}

} // namespace

FocusIconCatalogue::FocusIconCatalogue()
{
    for (const CatalogueRow& row : kRows) {
        const QString key = QLatin1String(row.key);
        if (m_entries.contains(key))
            continue;
        const QIcon icon = pairIcon(key);
        if (icon.isNull())
            continue;
        m_entries.insert(key, FocusIconEntry{QLatin1String(row.displayName), icon});
    }
}

FocusIconCatalogue* FocusIconCatalogue::instance()
{
    FocusIconCatalogue*& catalogue = instancePointer();
    if (!catalogue)
        catalogue = new FocusIconCatalogue;
    return catalogue;
}

void FocusIconCatalogue::destroy()
{
    delete instancePointer();
    instancePointer() = nullptr;
}

QStringList FocusIconCatalogue::keys()
{
    QStringList keys;
    for (const CatalogueRow& row : kRows)
        keys << QLatin1String(row.key);
    return keys;
}

QIcon focusGroupIcon(const QUuid& groupId, const QString& iconKey, bool isEmpty)
{
    if (groupId.isNull())
        return QIcon();
    if (!iconKey.isEmpty()) {
        const FocusIconMap& entries = FocusIconCatalogue::instance()->entries();
        auto it = entries.constFind(iconKey);
        if (it != entries.constEnd())
            return it->icon;
    }
    if (groupId == FocusGroup::inboxId())
        return pairIcon(QStringLiteral("inbox"));
    if (groupId == FocusGroup::trashId())
        return pairIcon(isEmpty ? QStringLiteral("trash_empty") : QStringLiteral("trash_full"));
    if (groupId == FocusGroup::completedId())
        return pairIcon(QStringLiteral("completed"));
    return pairIcon(QStringLiteral("star_yellow"));
}

QIcon focusIconByKey(const QString& iconKey)
{
    if (iconKey.isEmpty())
        return QIcon();
    return FocusIconCatalogue::instance()->entries().value(iconKey).icon;
}

FocusIconMap focusIconCatalogue()
{
    return FocusIconCatalogue::instance()->entries();
}

QIcon applicationIcon(int size, const QString& suffix)
{
    QString small = QStringLiteral(":/icons/one_16") + suffix;
    if (!QFile::exists(small))
        small = QStringLiteral(":/icons/one_16");
    QIcon icon;
    switch (size) {
    case 0:
        icon.addFile(small, QSize(16, 16));
        icon.addFile(QStringLiteral(":/icons/one_32"), QSize(32, 32));
        icon.addFile(QStringLiteral(":/icons/one_48"), QSize(48, 48));
        icon.addFile(QStringLiteral(":/icons/one_256"), QSize(256, 256));
        break;
    case 16:
        icon.addFile(small, QSize(16, 16));
        break;
    case 32:
    case 48:
    case 256:
        icon.addFile(QStringLiteral(":/icons/one_%1").arg(size), QSize(size, size));
        break;
    default:
        break;
    }
    return icon;
}

QIcon trayIcon()
{
    return applicationIcon(16, QString());
}

QIcon calendarIcon(int kind)
{
    switch (kind) {
    case CalendarReset: return QIcon(QStringLiteral(":/calendar/icon_reset_16"));
    case CalendarNextMonth: return QIcon(QStringLiteral(":/calendar/icon_next_month_16"));
    case CalendarPrevMonth: return QIcon(QStringLiteral(":/calendar/icon_prev_month_16"));
    default: return QIcon();
    }
}
