#include "core/taskcore.h"
#include "store/taskstorage.h"
#include "support/testenv.h"
#include "support/uitestkit.h"
#include "ui/calendarimport.h"
#include "ui/focusgrouplistwidget.h"
#include "ui/mainwindow.h"
#include "ui/toolbaractions.h"

#include <QAction>
#include <QTemporaryDir>

namespace {

using uitest::namesIn;
using uitest::store;

QByteArray calendar(const QByteArray& todos)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Example//Planner 1.0//EN\r\n" + todos + "END:VCALENDAR\r\n";
}

QByteArray todo(const QByteArray& lines)
{
    return "BEGIN:VTODO\r\nDTSTAMP:20261201T090000Z\r\n" + lines + "END:VTODO\r\n";
}

/// Two tasks a calendar program wrote, and one it wrote without a UID.
const QByteArray TwoTasks = calendar(todo("UID:3f0c1b3e-planner-1@example.org\r\nSUMMARY:Äpfel kaufen für Оля\r\n")
                                     + todo("UID:3f0c1b3e-planner-2@example.org\r\nSUMMARY:Call the plumber\r\n"
                                            "STATUS:COMPLETED\r\n")
                                     + todo("SUMMARY:No identity\r\n"));

} // namespace

class TstCalendarImport : public QObject
{
    Q_OBJECT

    uitest::TempStore m_store;
    QTemporaryDir m_dir;
    QStringList m_chosen;
    QStringList m_reports;
    QStringList m_details;

    QString file(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        testenv::writeBytes(path, bytes);
        return path;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_store.ready());
        CalendarImport::setHooks({[this](QWidget*) { return m_chosen; },
                                  [this](QWidget*, const QString& text, const QString& details, bool) {
                                      m_reports << text;
                                      m_details << details;
                                  }});
    }

    void init()
    {
        uitest::clearStore();
        m_chosen.clear();
        m_reports.clear();
        m_details.clear();
    }

    // The menu's import needs a group that takes tasks (not the Trash).
    void menuImportsIntoTheGroupShownAndASecondImportAddsNothing()
    {
        const FocusGroup::Id home = store()->addGroup(QStringLiteral("Zuhause"), QString());
        MainWindow window;
        window.groupPanel()->selectGroup(FocusGroup::trashId());
        QVERIFY(!importCalendarAction()->isEnabled());
        window.groupPanel()->selectGroup(home);
        QVERIFY(importCalendarAction()->isEnabled());
        m_chosen = {file(QStringLiteral("planner.ics"), TwoTasks)};
        importCalendarAction()->trigger();
        const QString names = QStringLiteral("Äpfel kaufen für Оля Call the plumber*");
        QCOMPARE(namesIn(home), names);
        QCOMPARE(m_reports, QStringList{QStringLiteral("2 tasks added. 1 task could not be read and was left out.")});
        QVERIFY2(m_details.constFirst().contains(QLatin1String("no UID")), qPrintable(m_details.constFirst()));

        importCalendarAction()->trigger();
        QCOMPARE(namesIn(home), names);
        QCOMPARE(m_reports.last(),
                 QStringLiteral("Nothing new: the 2 tasks of the file are here already. 1 task could not be read and was left out."));
    }

    // Files that add nothing; a null `bytes` is a file that is not there.
    void report_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("report");
        QTest::newRow("no tasks") << calendar("") << "The file holds no tasks.";
        QTest::newRow("not a calendar") << QByteArray("Dear diary,\nnothing to do today.\n") << "No task of the file could be read.";
        QTest::newRow("no file") << QByteArray() << "The file could not be read.";
    }

    void report()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, report);
        const QString path = bytes.isNull() ? m_dir.filePath(QStringLiteral("gone.ics"))
                                            : file(QStringLiteral("one.ics"), bytes);
        CalendarImport::importFiles(nullptr, FocusGroup::inboxId(), {path});
        QCOMPARE(m_reports, QStringList{report});
        QVERIFY(!bytes.isNull() || m_details.constFirst().startsWith(path + QLatin1String(": ")));
        QVERIFY(namesIn(FocusGroup::inboxId()).isEmpty());
    }

};

MRV_TEST_WIDGETS_MAIN(TstCalendarImport)
#include "tst_calendarimport.moc"
