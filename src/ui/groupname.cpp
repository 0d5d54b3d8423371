#include "ui/groupname.h"

#include "store/focusgroup.h"

#include <QCoreApplication>

QString shownGroupName(const FocusGroup& group)
{
    struct Fixed
    {
        FocusGroup::Id id;
        const char* name;
    };
    static const Fixed fixed[] = {
        {FocusGroup::inboxId(), QT_TRANSLATE_NOOP("FocusGroup", "Inbox")},
        {FocusGroup::trashId(), QT_TRANSLATE_NOOP("FocusGroup", "Trash")},
        {FocusGroup::completedId(), QT_TRANSLATE_NOOP("FocusGroup", "Completed")},
    };
    const QString name = group.name();
    for (const Fixed& entry : fixed) {
        if (group.id() == entry.id && name == QLatin1String(entry.name))
            return QCoreApplication::translate("FocusGroup", entry.name);
    }
    return name;
}
