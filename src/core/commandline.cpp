#include "core/commandline.h"

#include "base/identity.h"
#include "core/launchmode.h"

#include <QCoreApplication>
#include <QHash>

namespace {

QString translated(const char* text)
{
    return QCoreApplication::translate("CommandLine", text);
}

const char* const kGivenTwice = QT_TRANSLATE_NOOP("CommandLine", "%1 is given more than once");
const char* const kNeedsValue = QT_TRANSLATE_NOOP("CommandLine", "%1 needs a value");
const char* const kUnknownOption = QT_TRANSLATE_NOOP("CommandLine", "unknown option %1");
const char* const kUnexpectedArgument =
    QT_TRANSLATE_NOOP("CommandLine", "unexpected argument %1 (a task name with spaces needs quotes)");
const char* const kOnlyWithAdd = QT_TRANSLATE_NOOP("CommandLine", "%1 works only together with --add");
const char* const kNoName = QT_TRANSLATE_NOOP("CommandLine", "--add needs the name of the task");
const char* const kBadDate =
    QT_TRANSLATE_NOOP("CommandLine", "cannot read the due date %1: use YYYY-MM-DD, today, tomorrow or a weekday name");
const char* const kOnlyWithSyncAccount = QT_TRANSLATE_NOOP("CommandLine", "%1 works only together with --sync-account");
const char* const kOnlyWithSync =
    QT_TRANSLATE_NOOP("CommandLine", "%1 works only together with --sync or --sync-account");
const char* const kNeedsUser = QT_TRANSLATE_NOOP("CommandLine", "--sync-account needs --user NAME");
const char* const kOneAction = QT_TRANSLATE_NOOP("CommandLine", "%1 and %2 cannot be given together");
const char* const kUsage = QT_TRANSLATE_NOOP("CommandLine", "Usage:");
const char* const kWithoutOptions =
    QT_TRANSLATE_NOOP("CommandLine", "Without options %1 starts, or brings the running %1 to the front.");
const char* const kDates = QT_TRANSLATE_NOOP("CommandLine", "DATE is YYYY-MM-DD, today, tomorrow or a weekday name "
                                                            "(friday, fri):\nthe next such day, today included.");
const char* const kRunning =
    QT_TRANSLATE_NOOP("CommandLine", "A running %1 adds the task itself and leaves its window as it is.");
const char* const kExitStatus =
    QT_TRANSLATE_NOOP("CommandLine", "Exit status: 0 done, 1 the task could not be added, 2 a wrong command line,\n"
                                     "3 taken by the running %1 but not confirmed as written: it may still appear.");
const char* const kSyncExitStatus =
    QT_TRANSLATE_NOOP("CommandLine", "With --sync and --sync-account: 0 synced, 1 sync failed (the message says why),\n"
                                     "2 a wrong command line, 4 the server cannot be reached (nothing is lost: try later),\n"
                                     "5 the server refused the user name or password.");

// The options the toolkit takes from the command line (QGuiApplication, QApplication and the
// X11 plug-in); it accepts them with one dash or two. They stay its business: the desktop's
// session manager, for one, restarts programs with "-session ID".
const char* const kToolkitOptionsWithValue[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "geometry",
    "qwindowtitle", "title", "qwindowicon", "icon", "session", "style", "stylesheet", "display",
    "name", "visual",
};
const char* const kToolkitFlags[] = {
    "reverse", "testability", "widgetcount", "nograb", "dograb", "sync", "qmljsdebugger",
};

// How many of the following arguments a toolkit option takes (0 or 1); -1 when `argument` is
// not one of the toolkit's options.
int toolkitOptionValues(const QString& argument)
{
    if (!argument.startsWith(QLatin1Char('-')))
        return -1;
    QStringView name = QStringView(argument).mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    const qsizetype equals = name.indexOf(QLatin1Char('='));
    const bool inlineValue = equals >= 0;
    if (inlineValue)
        name = name.left(equals);
    for (const char* option : kToolkitOptionsWithValue) {
        if (name == QLatin1String(option))
            return inlineValue ? 0 : 1;
    }
    for (const char* option : kToolkitFlags) {
        if (name == QLatin1String(option))
            return 0;
    }
    return -1;
}

// An argument quoted for a one-line message: control characters escaped, long text cut.
QString quoted(const QString& argument)
{
    constexpr qsizetype kMaxShown = 40;
    qsizetype length = qMin(argument.size(), kMaxShown);
    // Never half of a character outside the Basic Multilingual Plane.
    if (length < argument.size() && argument.at(length - 1).isHighSurrogate())
        --length;
    QString shown;
    for (const QChar c : QStringView(argument).left(length)) {
        if (c == QLatin1Char('\n'))
            shown += QLatin1String("\\n");
        else if (c == QLatin1Char('\t'))
            shown += QLatin1String("\\t");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    if (length < argument.size())
        shown += QChar(0x2026);
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

bool isDayName(const QString& text, const QLocale& locale, int day)
{
    for (const QLocale::FormatType format : {QLocale::LongFormat, QLocale::ShortFormat}) {
        QString name = locale.dayName(day, format).toCaseFolded();
        // Short names such as "seg." are typed without their full stop too.
        if (name.endsWith(QLatin1Char('.')))
            name.chop(1);
        if (!name.isEmpty() && name == text)
            return true;
    }
    return false;
}

// A day in the locale's own short form ("12/31/2026", "31.12.26"). A two-digit year is one of
// this century, as people mean it.
QDate localeDay(const QString& text, const QLocale& locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QString longYears = format;
    if (!format.contains(QLatin1String("yyyy")))
        longYears.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    QDate day = locale.toDate(text.trimmed(), longYears);
    if (!day.isValid() && longYears != format) {
        day = locale.toDate(text.trimmed(), format);
        if (day.isValid() && day.year() < 2000)
            day = day.addYears(100);
    }
    return day;
}

QDate dueDate(const QString& text, const QDate& today, const QLocale& locale)
{
    QDate day = CapturedTask::dayFromText(text);
    if (!day.isValid())
        day = localeDay(text, locale);
    if (day.isValid())
        return day;
    QString word = text.trimmed().toCaseFolded();
    if (word.endsWith(QLatin1Char('.')))
        word.chop(1);
    if (word == QLatin1String("today"))
        return today;
    if (word == QLatin1String("tomorrow"))
        return today.addDays(1);
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    for (int day = 1; day <= 7; ++day) {
        if (isDayName(word, english, day) || isDayName(word, locale, day))
            return today.addDays((day - today.dayOfWeek() + 7) % 7);
    }
    return QDate();
}

CommandLine failure(const QString& error)
{
    CommandLine result;
    result.m_action = CommandLine::Fail;
    result.m_error = error;
    return result;
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments, const QDate& today, const QLocale& locale)
{
    switch (parseLaunchMode(arguments)) {
    case LaunchMode::Install: {
        CommandLine result;
        result.m_action = CommandLine::Install;
        return result;
    }
    case LaunchMode::Uninstall: {
        CommandLine result;
        result.m_action = CommandLine::Uninstall;
        return result;
    }
    case LaunchMode::TaskManager:
        break;
    }

    const QString add = QStringLiteral("--add");
    const QString notes = QStringLiteral("--notes");
    const QString due = QStringLiteral("--due");
    const QString syncAccount = QStringLiteral("--sync-account");
    const QString user = QStringLiteral("--user");
    const QString syncOnce = QStringLiteral("--sync");
    const QString passwordStdin = QStringLiteral("--password-stdin");
    QHash<QString, QString> values;
    bool help = false;
    bool version = false;
    bool sync = false;
    bool passwordFromStdin = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const qsizetype equals = argument.startsWith(QLatin1String("--")) ? argument.indexOf(QLatin1Char('=')) : -1;
        const QString option = equals < 0 ? argument : argument.left(equals);
        if (option == add || option == notes || option == due || option == syncAccount || option == user) {
            if (values.contains(option))
                return failure(translated(kGivenTwice).arg(option));
            if (equals >= 0) {
                values.insert(option, argument.mid(equals + 1));
            } else if (i + 1 < arguments.size()) {
                values.insert(option, arguments.at(++i));
            } else {
                return failure(translated(kNeedsValue).arg(option));
            }
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            help = true;
        } else if (argument == QLatin1String("--version")) {
            version = true;
        } else if (argument == syncOnce) {
            if (sync)
                return failure(translated(kGivenTwice).arg(argument));
            sync = true;
        } else if (argument == passwordStdin) {
            if (passwordFromStdin)
                return failure(translated(kGivenTwice).arg(argument));
            passwordFromStdin = true;
        } else if (const int skipped = toolkitOptionValues(argument); skipped >= 0) {
            i += skipped;
        } else if (argument.startsWith(QLatin1Char('-'))) {
            return failure(translated(kUnknownOption).arg(quoted(argument)));
        } else {
            return failure(translated(kUnexpectedArgument).arg(quoted(argument)));
        }
    }

    CommandLine result;
    if (help) {
        result.m_action = CommandLine::Help;
        return result;
    }
    if (version) {
        result.m_action = CommandLine::Version;
        return result;
    }
    const bool account = values.contains(syncAccount);
    if (values.contains(user) && !account)
        return failure(translated(kOnlyWithSyncAccount).arg(user));
    if (passwordFromStdin && !account && !sync)
        return failure(translated(kOnlyWithSync).arg(passwordStdin));
    if (sync || account) {
        if (values.contains(add))
            return failure(translated(kOneAction).arg(add, account ? syncAccount : syncOnce));
        if (sync && account)
            return failure(translated(kOneAction).arg(syncOnce, syncAccount));
        for (const QString& option : {notes, due}) {
            if (values.contains(option))
                return failure(translated(kOnlyWithAdd).arg(option));
        }
        if (account && values.value(user).trimmed().isEmpty())
            return failure(translated(kNeedsUser));
        result.m_action = account ? CommandLine::SyncAccount : CommandLine::Sync;
        result.m_syncServer = values.value(syncAccount);
        result.m_syncUser = values.value(user);
        result.m_passwordFromStdin = passwordFromStdin;
        return result;
    }
    if (!values.contains(add)) {
        for (const QString& option : {notes, due}) {
            if (values.contains(option))
                return failure(translated(kOnlyWithAdd).arg(option));
        }
        return result;
    }
    result.m_task.m_name = values.value(add);
    if (CapturedTask::isBlankName(result.m_task.m_name))
        return failure(translated(kNoName));
    result.m_task.m_notes = values.value(notes);
    if (values.contains(due)) {
        result.m_task.m_due = dueDate(values.value(due), today, locale);
        if (!result.m_task.m_due.isValid()) {
            return failure(translated(kBadDate).arg(quoted(values.value(due))));
        }
    }
    result.m_action = CommandLine::AddTask;
    return result;
}

QStringList commandLineArguments(int argc, char** argv)
{
    QStringList arguments;
    arguments.reserve(argc);
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

QString commandLineHelp(const QString& program)
{
    struct Row
    {
        const char* option;
        const char* text;
    };
    static const Row rows[] = {
        {"--add NAME", QT_TRANSLATE_NOOP("CommandLine", "Add a task named NAME to the Inbox and exit.")},
        {"--notes TEXT", QT_TRANSLATE_NOOP("CommandLine", "The new task's notes.")},
        {"--due DATE", QT_TRANSLATE_NOOP("CommandLine", "The new task's due date.")},
        {"--sync", QT_TRANSLATE_NOOP("CommandLine", "Sync the tasks with the CalDAV account once and exit.")},
        {"--sync-account URL", QT_TRANSLATE_NOOP("CommandLine", "Set up the CalDAV account at URL (a server or a task list)\n"
                                                                  "                    and pair its task lists with the groups.")},
        {"--user NAME", QT_TRANSLATE_NOOP("CommandLine", "The account's user name.")},
        {"--password-stdin", QT_TRANSLATE_NOOP("CommandLine", "Read the account's password from standard input\n"
                                                              "                    (where no secret store keeps it).")},
        {"--install", QT_TRANSLATE_NOOP("CommandLine", "Open the install wizard.")},
        {"--uninstall", QT_TRANSLATE_NOOP("CommandLine", "Open the uninstall wizard.")},
        {"-h, --help", QT_TRANSLATE_NOOP("CommandLine", "Show this help and exit.")},
        {"--version", QT_TRANSLATE_NOOP("CommandLine", "Show the version and exit.")},
    };
    const QString name = productName();
    const QString usage = translated(kUsage) + QLatin1Char(' ');
    QString text = usage + program + QStringLiteral(" [--add NAME [--notes TEXT] [--due DATE]]\n");
    text += QString(usage.size(), QLatin1Char(' ')) + program
        + QStringLiteral(" --sync | --sync-account URL --user NAME [--password-stdin]\n");
    text += QString(usage.size(), QLatin1Char(' ')) + program
        + QStringLiteral(" --install | --uninstall | --help | --version\n\n");
    text += translated(kWithoutOptions).arg(name) + QStringLiteral("\n\n");
    for (const Row& row : rows) {
        text += QStringLiteral("  ") + QString::fromLatin1(row.option).leftJustified(18) + translated(row.text)
            + QLatin1Char('\n');
    }
    text += QLatin1Char('\n') + translated(kDates) + QLatin1Char('\n');
    text += translated(kRunning).arg(name) + QLatin1Char('\n');
    text += translated(kExitStatus).arg(name) + QLatin1Char('\n');
    text += translated(kSyncExitStatus) + QLatin1Char('\n');
    return text;
}
