#include "core/taskcore.h"
#include "store/taskstorage.h"
#include "support/testenv.h"
#include "support/uitestkit.h"
#include "ui/calendarimport.h"
#include "ui/focusgrouplistwidget.h"
#include "ui/focusgroupwidget.h"
#include "ui/mainwindow.h"
#include "ui/toolbaractions.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QTemporaryDir>

namespace {

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

QStringList namesIn(const FocusGroup::Id& group)
{
    QStringList names;
    store()->visitTasks(store()->group(group).taskIds(), [&](const TodoTask& task) { names << task.name(); });
    return names;
}

/// Drops `mime` on the row as a file manager does; whether the row took it as a copy.
bool drop(QWidget* row, const QMimeData* mime)
{
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    QDragEnterEvent enter(row->rect().center(), actions, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(row, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent event(QPointF(row->rect().center()), actions, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(row, &event);
    return event.isAccepted() && event.dropAction() == Qt::CopyAction;
}

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
        QCOMPARE(namesIn(home), QStringList({QStringLiteral("Äpfel kaufen für Оля"), QStringLiteral("Call the plumber")}));
        QCOMPARE(m_reports, QStringList{QStringLiteral("2 tasks added. 1 task could not be read and was left out.")});
        QVERIFY2(m_details.constFirst().contains(QLatin1String("no UID")), qPrintable(m_details.constFirst()));

        importCalendarAction()->trigger();
        QCOMPARE(namesIn(home).size(), 2);
        QCOMPARE(m_reports.last(),
                 QStringLiteral("Nothing new: the 2 tasks of the file are here already. 1 task could not be read and was left out."));
    }

    // A null `bytes` is a file that is not there.
    void report_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("report");
        QTest::newRow("one task") << calendar(todo("UID:only@example.org\r\nSUMMARY:Only one\r\n")) << "1 task added.";
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
        QCOMPARE(namesIn(FocusGroup::inboxId()).size(), report.startsWith(QLatin1Char('1')) ? 1 : 0);
    }

    void droppedFilesGoIntoTheGroup_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("taken");
        QTest::newRow("user group") << "Work" << "planner.ics" << true;
        QTest::newRow("Inbox") << "Inbox" << "planner.ICS" << true;
        QTest::newRow("Trash") << "Trash" << "planner.ics" << false;
        QTest::newRow("not a calendar file") << "Work" << "planner.txt" << false;
    }

    void droppedFilesGoIntoTheGroup()
    {
        QFETCH(QString, group);
        QFETCH(QString, fileName);
        QFETCH(bool, taken);
        const QHash<QString, FocusGroup::Id> ids{{QStringLiteral("Work"), store()->addGroup(QStringLiteral("Work"), QString())},
                                                 {QStringLiteral("Inbox"), FocusGroup::inboxId()},
                                                 {QStringLiteral("Trash"), FocusGroup::trashId()}};
        FocusGroupListWidget panel;
        panel.resize(200, 400);
        panel.show();
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(file(fileName, TwoTasks))});
        QCOMPARE(drop(panel.rowOf(ids.value(group)), &mime), taken);
        // The import comes after the drop, so that the file manager does not wait for the report.
        QTRY_COMPARE(namesIn(ids.value(group)).size(), taken ? 2 : 0);
        QCOMPARE(m_reports.size(), taken ? 1 : 0);
    }
};

MRV_TEST_WIDGETS_MAIN(TstCalendarImport)
#include "tst_calendarimport.moc"
