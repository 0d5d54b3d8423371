#include "core/commandline.h"
#include "support/testenv.h"

namespace {

// A Wednesday.
const QDate kToday(2024, 5, 15);

QStringList args(std::initializer_list<const char*> list)
{
    QStringList arguments{QStringLiteral("mirevo")};
    for (const char* argument : list)
        arguments.append(QString::fromUtf8(argument));
    return arguments;
}

CapturedTask task(const char* name, const char* notes = "", const QDate& due = QDate())
{
    CapturedTask task;
    task.m_name = QString::fromUtf8(name);
    task.m_notes = QString::fromUtf8(notes);
    task.m_due = due;
    return task;
}

} // namespace

class TstCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parses_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<int>("action");
        QTest::addColumn<CapturedTask>("task");
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        const QLocale portuguese(QLocale::Portuguese, QLocale::Portugal);
        const QLocale brazilian(QLocale::Portuguese, QLocale::Brazil);
        const int start = CommandLine::Start;
        const int add = CommandLine::AddTask;

        QTest::newRow("no arguments") << args({}) << english << start << CapturedTask();
        QTest::newRow("add, notes and due in any order")
            << args({"--due", "2024-06-01", "--notes", "Leak under the sink", "--add", "Call the plumber"}) << english
            << add << task("Call the plumber", "Leak under the sink", QDate(2024, 6, 1));
        QTest::newRow("values after =") << args({"--add=a=b", "--notes=", "--due=today"}) << english << add
                                        << task("a=b", "", kToday);
        QTest::newRow("a name starting with a dash is the name")
            << args({"--add", "-x"}) << english << add << task("-x");
        QTest::newRow("quotes, line breaks, any script")
            << args({"--add", "Say \"hi\" and 'bye'\n\\n", "--notes", "Ünïcödé 😀 שלום\r\n\ttab"}) << english << add
            << task("Say \"hi\" and 'bye'\n\\n", "Ünïcödé 😀 שלום\r\n\ttab");
        QTest::newRow("tomorrow, any case") << args({"--add", "x", "--due", "TOMORROW"}) << english << add
                                            << task("x", "", kToday.addDays(1));
        QTest::newRow("weekday of next week") << args({"--add", "x", "--due", "tue"}) << english << add
                                              << task("x", "", QDate(2024, 5, 21));
        QTest::newRow("weekday of the locale") << args({"--add", "x", "--due", "Sexta-feira"}) << portuguese << add
                                               << task("x", "", QDate(2024, 5, 17));
        QTest::newRow("short weekday of the locale, no full stop")
            << args({"--add", "x", "--due", "seg"}) << brazilian << add << task("x", "", QDate(2024, 5, 20));
        QTest::newRow("the locale's short date, two-digit year")
            << args({"--add", "x", "--due", "31/12/26"}) << portuguese << add << task("x", "", QDate(2026, 12, 31));
        QTest::newRow("two-digit year 00") << args({"--add", "x", "--due", "1/2/00"}) << english << add
                                           << task("x", "", QDate(2000, 1, 2));
        QTest::newRow("English besides the locale") << args({"--add", "x", "--due", "monday"}) << portuguese << add
                                                    << task("x", "", QDate(2024, 5, 20));
        QTest::newRow("help") << args({"--help"}) << english << int(CommandLine::Help) << CapturedTask();
        QTest::newRow("install wins over add") << args({"--add", "x", "--install"}) << english
                                               << int(CommandLine::Install) << CapturedTask();
        QTest::newRow("uninstall wins over a wrong option") << args({"--frob", "--uninstall", "--help"}) << english
                                                            << int(CommandLine::Uninstall) << CapturedTask();
        QTest::newRow("toolkit options with their values")
            << args({"-platform", "offscreen", "--style", "fusion", "-reverse", "-session", "1a2b", "--add", "x"})
            << english << add << task("x");
        QTest::newRow("sync") << args({"--sync", "--password-stdin"}) << english << int(CommandLine::Sync)
                              << CapturedTask();
        QTest::newRow("sync account") << args({"--user=ana", "--sync-account", "https://dav.example/"}) << english
                                      << int(CommandLine::SyncAccount) << CapturedTask();
    }

    void parses()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QLocale, locale);
        QFETCH(int, action);
        QFETCH(CapturedTask, task);
        const CommandLine commandLine = parseCommandLine(arguments, kToday, locale);
        QCOMPARE(commandLine.m_error, QString());
        QCOMPARE(int(commandLine.m_action), action);
        QCOMPARE(commandLine.m_task, task);
        if (action == int(CommandLine::SyncAccount)) {
            QCOMPARE(commandLine.m_syncServer, QStringLiteral("https://dav.example/"));
            QCOMPARE(commandLine.m_syncUser, QStringLiteral("ana"));
        }
        QCOMPARE(commandLine.m_passwordFromStdin, arguments.contains(QStringLiteral("--password-stdin")));
    }

    void rejectsInOneLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("named");
        QTest::newRow("unknown option") << args({"--add", "x", "--frob"}) << QStringLiteral("\"--frob\"");
        QTest::newRow("name in words without quotes") << args({"--add", "Call", "the", "plumber"})
                                                      << QStringLiteral("\"the\"");
        QTest::newRow("add without its value") << args({"--add"}) << QStringLiteral("--add");
        QTest::newRow("add twice") << args({"--add", "a", "--add", "b"}) << QStringLiteral("--add");
        QTest::newRow("notes without add") << args({"--notes", "n"}) << QStringLiteral("--notes");
        QTest::newRow("blank name") << args({"--add", " \t"}) << QStringLiteral("--add");
        QTest::newRow("no such day") << args({"--add", "x", "--due", "2024-02-30"}) << QStringLiteral("\"2024-02-30\"");
        QTest::newRow("line break in the culprit") << args({"--add", "x", "--due", "next\nweek"})
                                                   << QStringLiteral("\"next\\nweek\"");
        QTest::newRow("user without account") << args({"--sync", "--user", "ana"}) << QStringLiteral("--user");
        QTest::newRow("sync and add") << args({"--sync", "--add", "x"}) << QStringLiteral("--add");
    }

    void rejectsInOneLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, named);
        const CommandLine commandLine = parseCommandLine(arguments, kToday, QLocale(QLocale::English));
        QCOMPARE(int(commandLine.m_action), int(CommandLine::Fail));
        QVERIFY2(commandLine.m_error.contains(named), qPrintable(commandLine.m_error));
        QVERIFY(!commandLine.m_error.contains(QLatin1Char('\n')));
        QVERIFY(!commandLine.startsProgram());
    }
};

MRV_TEST_GUILESS_MAIN(TstCommandLine)
#include "tst_commandline.moc"
