#include "ui/groupname.h"

#include "store/focusgroup.h"

#include <QCoreApplication>

namespace {

struct Fixed
{
    FocusGroup::Id id;
    const char* name;
};

// The views come first, in the order of DueTasks::View.
const QList<Fixed>& fixedNames()
{
    static const QList<Fixed> fixed = {
        {DueTasks::viewId(DueTasks::Today), QT_TRANSLATE_NOOP("FocusGroup", "Today")},
        {DueTasks::viewId(DueTasks::Upcoming), QT_TRANSLATE_NOOP("FocusGroup", "Upcoming")},
        {FocusGroup::inboxId(), QT_TRANSLATE_NOOP("FocusGroup", "Inbox")},
        {FocusGroup::trashId(), QT_TRANSLATE_NOOP("FocusGroup", "Trash")},
        {FocusGroup::completedId(), QT_TRANSLATE_NOOP("FocusGroup", "Completed")},
    };
    return fixed;
}

} // namespace

QString shownGroupName(const FocusGroup& group)
{
    const QString name = group.name();
    for (const Fixed& entry : fixedNames()) {
        if (group.id() == entry.id && name == QLatin1String(entry.name))
            return QCoreApplication::translate("FocusGroup", entry.name);
    }
    return name;
}

FocusGroup viewAsGroup(DueTasks::View view)
{
    const Fixed& entry = fixedNames().at(view == DueTasks::Today ? 0 : 1);
    return FocusGroup(entry.id, QLatin1String(entry.name));
}
