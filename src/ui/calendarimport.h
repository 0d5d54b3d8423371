#pragma once

#include "store/focusgroup.h"

#include <QCoreApplication>
#include <QStringList>

#include <functional>

class QMimeData;
class QWidget;

/// Tasks from iCalendar files (.ics) into a group, from the program's menu or dropped from a
/// file manager, with a report of what came in and what could not be read.
class CalendarImport
{
    Q_DECLARE_TR_FUNCTIONS(CalendarImport)
public:
    /// The steps that talk to the user; tests replace them.
    struct Hooks
    {
        /// Asks for the files to import; empty when the user cancelled.
        std::function<QStringList(QWidget* parent)> chooseFiles;
        /// Tells the outcome: the sentence, and what could not be read, one a line (may be empty).
        std::function<void(QWidget* parent, const QString& text, const QString& details, bool failed)> report;
    };
    /// Replaces the hooks for the whole process; empty members fall back to the defaults.
    static void setHooks(const Hooks& hooks);

    /// Whether a group takes tasks from files: every group but the Trash and Completed.
    static bool takesFiles(const FocusGroup::Id& group);
    /// The local iCalendar files among dropped or pasted data; empty when there is none.
    static QStringList calendarFiles(const QMimeData* mime);

    /// Asks for files and imports them into `group`.
    static void chooseAndImport(QWidget* parent, const FocusGroup::Id& group);
    /// Imports the files into `group` and reports the outcome.
    static void importFiles(QWidget* parent, const FocusGroup::Id& group, const QStringList& paths);
};
