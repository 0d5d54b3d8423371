#include "ui/toolbaractions.h"

#include <QAction>
#include <QCoreApplication>
#include <QIcon>
#include <QKeySequence>

namespace {

struct ActionSet
{
    QAction* newTask = nullptr;
    QAction* editTask = nullptr;
    QAction* cleanup = nullptr;
    QAction* toggleView = nullptr;
    QAction* find = nullptr;
    QAction* syncNow = nullptr;
    QAction* importCalendar = nullptr;
    QAction* undo = nullptr;
    QAction* redo = nullptr;
};

ActionSet*& actionSet()
{
    static ActionSet* set = nullptr;
    return set;
}

QAction* makeAction(const char* icon, const char* name)
{
    auto* action = new QAction(QIcon(QLatin1String(icon)), QString());
    action->setObjectName(QLatin1String(name));
    return action;
}

ActionSet* actions()
{
    ActionSet*& set = actionSet();
    if (!set) {
        set = new ActionSet;
        set->newTask = makeAction(":/icons/toolbar_new", "newTaskAction");
        set->editTask = makeAction(":/icons/toolbar_edit", "editTaskAction");
        set->cleanup = makeAction(":/icons/toolbar_cleanup", "cleanupAction");
        set->toggleView = makeAction(":/icons/view_normal", "toggleViewAction");
        set->find = makeAction(":/icons/toolbar_find", "findTasksAction");
        set->find->setShortcut(QKeySequence::Find);
        set->syncNow = new QAction;
        set->syncNow->setObjectName(QStringLiteral("syncNowAction"));
        set->syncNow->setShortcut(QKeySequence(Qt::Key_F5));
        set->syncNow->setEnabled(false);
        set->importCalendar = new QAction;
        set->importCalendar->setObjectName(QStringLiteral("importCalendarAction"));
        set->undo = new QAction(QIcon::fromTheme(QStringLiteral("edit-undo")), QString());
        set->undo->setObjectName(QStringLiteral("undoAction"));
        set->undo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
        set->undo->setEnabled(false);
        set->redo = new QAction(QIcon::fromTheme(QStringLiteral("edit-redo")), QString());
        set->redo->setObjectName(QStringLiteral("redoAction"));
        set->redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
        set->redo->setEnabled(false);
        // Work anywhere in the window, the task list included.
        set->newTask->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_N), QKeySequence(Qt::Key_Insert)});
        set->editTask->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_E), QKeySequence(Qt::Key_F2)});
        retranslateActions();
    }
    return set;
}

} // namespace

QAction* newTaskAction()
{
    return actions()->newTask;
}

QAction* editTaskAction()
{
    return actions()->editTask;
}

QAction* cleanupAction()
{
    return actions()->cleanup;
}

QAction* toggleViewAction()
{
    return actions()->toggleView;
}

QAction* findTasksAction()
{
    return actions()->find;
}

QAction* syncNowAction()
{
    return actions()->syncNow;
}

QAction* importCalendarAction()
{
    return actions()->importCalendar;
}

QAction* undoAction()
{
    return actions()->undo;
}

QAction* redoAction()
{
    return actions()->redo;
}

void setUndoTexts(const QString& undoLabel, const QString& redoLabel)
{
    ActionSet* set = actions();
    set->undo->setText(undoLabel.isEmpty() ? QCoreApplication::translate("QObject", "Undo")
                                           : QCoreApplication::translate("QObject", "Undo %1").arg(undoLabel));
    set->redo->setText(redoLabel.isEmpty() ? QCoreApplication::translate("QObject", "Redo")
                                           : QCoreApplication::translate("QObject", "Redo %1").arg(redoLabel));
    set->undo->setToolTip(withShortcuts(set->undo->text(), set->undo));
    set->redo->setToolTip(withShortcuts(set->redo->text(), set->redo));
}

void retranslateActions()
{
    ActionSet* set = actions();
    set->newTask->setText(QCoreApplication::translate("QObject", "New"));
    set->editTask->setText(QCoreApplication::translate("QObject", "Edit"));
    set->toggleView->setText(QCoreApplication::translate("QObject", "Toggle view"));
    set->cleanup->setText(QCoreApplication::translate("QObject", "Cleanup"));
    set->find->setText(QCoreApplication::translate("QObject", "Find"));
    set->newTask->setToolTip(withShortcuts(QCoreApplication::translate("QObject", "New task"), set->newTask));
    set->editTask->setToolTip(withShortcuts(QCoreApplication::translate("QObject", "Edit the selected task"), set->editTask));
    set->cleanup->setToolTip(QCoreApplication::translate("QObject", "Move the completed tasks to Completed"));
    set->toggleView->setToolTip(QCoreApplication::translate("QObject", "Show or hide the group panel"));
    set->find->setToolTip(withShortcuts(QCoreApplication::translate("QObject", "Find tasks"), set->find));
    set->syncNow->setText(QCoreApplication::translate("QObject", "Sync now"));
    set->syncNow->setToolTip(
        withShortcuts(QCoreApplication::translate("QObject", "Exchange the changes with the server now"), set->syncNow));
    set->importCalendar->setText(QCoreApplication::translate("QObject", "Import iCalendar file…"));
    setUndoTexts(QString(), QString());
    set->importCalendar->setToolTip(
        QCoreApplication::translate("QObject", "Add the tasks of an iCalendar file (.ics) to the group shown"));
}

QString withShortcuts(const QString& text, const QAction* action)
{
    QStringList keys;
    for (const QKeySequence& shortcut : action->shortcuts())
        keys << shortcut.toString(QKeySequence::NativeText);
    return keys.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, keys.join(QStringLiteral(", ")));
}

void destroyToolbarActions()
{
    ActionSet*& set = actionSet();
    if (!set)
        return;
    delete set->newTask;
    delete set->editTask;
    delete set->cleanup;
    delete set->toggleView;
    delete set->find;
    delete set->syncNow;
    delete set->importCalendar;
    delete set->undo;
    delete set->redo;
    delete set;
    set = nullptr;
}
