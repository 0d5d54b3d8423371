#pragma once

#include "core/capturedtask.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>

/// What the command line asks the program to do.
struct CommandLine
{
    enum Action {
        /// Start the task manager, or hand "show" to the running instance.
        Start,
        /// "--install" or "--uninstall": the wizards, as parseLaunchMode() finds them.
        Install,
        Uninstall,
        Help,
        Version,
        /// "--add NAME [--notes TEXT] [--due DATE]": `m_task` goes to the Inbox.
        AddTask,
        /// "--sync [--password-stdin]": one sync pass with the stored account.
        Sync,
        /// "--sync-account URL --user NAME [--password-stdin]": store the account, pair the lists.
        SyncAccount,
        /// A wrong command line: `m_error` says what is wrong, in one line.
        Fail,
    };

    Action m_action = Start;
    CapturedTask m_task;
    QString m_syncServer;
    QString m_syncUser;
    bool m_passwordFromStdin = false;
    QString m_error;

    /// Start, Install and Uninstall need the application object and its windows; the other
    /// actions are answered without a display.
    bool startsProgram() const { return m_action == Start || m_action == Install || m_action == Uninstall; }
};

/// Reads the arguments after the program path (the first one). "--install" and "--uninstall"
/// win wherever they are, as before. Otherwise: "--add", "--notes" and "--due" take the next
/// argument as their value whatever it looks like (or the text after "="), each at most once;
/// "-h"/"--help" and "--version" win over the rest once the arguments are well-formed. The
/// toolkit's own options (-platform, -style, -session, ...; one or two dashes) are skipped
/// with their values. Anything else is an error. A due date is "yyyy-MM-dd", "today",
/// "tomorrow" or a weekday name in English or in `locale` (full or short, any case): the next
/// such day from `today` on, `today` included.
CommandLine parseCommandLine(const QStringList& arguments, const QDate& today = QDate::currentDate(),
                             const QLocale& locale = QLocale::system());

/// The arguments as the process got them, before the application object takes the toolkit's.
QStringList commandLineArguments(int argc, char** argv);

/// The options, for "--help" and after an error; `program` is the name the user typed.
QString commandLineHelp(const QString& program);
