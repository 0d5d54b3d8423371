// Task files out and in: the export dialog, and calendar files imported from the menu.

#include "support/testenv.h"
#include "support/uitestkit.h"

#include "base/identity.h"
#include "core/taskcore.h"
#include "store/focusgroup.h"
#include "store/taskstorage.h"
#include "store/todotask.h"
#include "ui/calendarimport.h"
#include "ui/exportdialog.h"
#include "ui/focusgrouplistwidget.h"
#include "ui/mainwindow.h"
#include "ui/toolbaractions.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

using uitest::addTask;
using uitest::makeGroup;
using uitest::namesIn;
using uitest::store;

QListWidget* listOf(QWidget* dialog) { return dialog->findChild<QListWidget*>(QStringLiteral("groupList")); }
QPushButton* button(QWidget* dialog, const char* name) { return dialog->findChild<QPushButton*>(QLatin1String(name)); }

/// Per item: 'X' checked, 'o' unchecked, '-' disabled and unchecked, '?' disabled and checked.
QString itemStates(QWidget* dialog)
{
    QString states;
    for (int row = 0; row < listOf(dialog)->count(); ++row) {
        const QListWidgetItem* item = listOf(dialog)->item(row);
        const bool checked = item->checkState() == Qt::Checked;
        if (item->flags().testFlag(Qt::ItemIsEnabled))
            states += checked ? QLatin1Char('X') : QLatin1Char('o');
        else
            states += checked ? QLatin1Char('?') : QLatin1Char('-');
    }
    return states;
}

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

class TstExportDialog : public QObject
{
    Q_OBJECT

    uitest::TempStore m_store;
    QTemporaryDir m_dir;
    QString m_chosenPath;
    QStringList m_errors;
    QStringList m_opened;
    QStringList m_chosenFiles;
    QStringList m_reports;
    QStringList m_details;

    QString file(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        testenv::writeBytes(path, bytes);
        return path;
    }

    ExportDialog* exportTo(const QString& path, const FocusGroup::Id& groupId = {},
                           ExportDialog::Format format = ExportDialog::Text)
    {
        ExportDialog* dialog = showExportDialog(nullptr, groupId);
        auto* formats = dialog->findChild<QComboBox*>(QStringLiteral("formatCombo"));
        formats->setCurrentIndex(formats->findData(int(format)));
        m_chosenPath = path;
        QTest::mouseClick(button(dialog, "exportButton"), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return ExportDialog::openDialog();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_store.ready());
        ExportDialog::setHooks({[this](QWidget*) { return m_chosenPath; },
                                [this](QWidget*, const QString& title, const QString& text) { m_errors << title + QLatin1Char('|') + text; },
                                [this](const QString& path) { m_opened << path; }});
        CalendarImport::setHooks({[this](QWidget*) { return m_chosenFiles; },
                                  [this](QWidget*, const QString& text, const QString& details, bool) {
                                      m_reports << text;
                                      m_details << details;
                                  }});
    }

    void init()
    {
        uitest::clearStore();
        m_errors.clear();
        m_opened.clear();
        m_chosenFiles.clear();
        m_reports.clear();
        m_details.clear();
    }

    void cleanup()
    {
        QPointer<ExportDialog> dialog = ExportDialog::openDialog();
        if (dialog)
            dialog->close();
        QTRY_VERIFY(dialog.isNull());
    }

    void exportedBytes_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QStringList>("tasks");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("open and completed") << "Home" << QStringList{"Buy milk", "=Call|about the car"}
                                            << QByteArray("[Home]\r\n- Buy milk\r\n= Call (about the car)\r\n\r\n");
        QTest::newRow("UTF-8, task trimmed, group not")
            << QStringLiteral("  K\u00fcche  ")
            << QStringList{QStringLiteral("=  \u00c4pfel  |  f\u00fcr \u20ac ")}
            << QByteArray("[  K\xc3\xbc" "che  ]\r\n= \xc3\x84pfel (f\xc3\xbcr \xe2\x82\xac)\r\n\r\n");
        QTest::newRow("line breaks and separators as CR LF")
            << "Two" << QStringList{QStringLiteral("a\nb|\nc\r\nd\re\u2028f\u2029g\n")}
            << QByteArray("[Two]\r\n- a\r\nb (c\r\nd\r\ne\r\nf\r\ng)\r\n\r\n");
    }

    void exportedBytes()
    {
        QFETCH(QString, group);
        QFETCH(QStringList, tasks);
        QFETCH(QByteArray, expected);
        addTask(FocusGroup::inboxId(), QStringLiteral("not exported"));
        const QString path = m_dir.filePath(QStringLiteral("export.txt"));
        QVERIFY(testenv::writeBytes(path, QByteArray(500, 'x')));
        QVERIFY(!exportTo(path, makeGroup(tasks, nullptr, group)));
        QCOMPARE(testenv::readBytes(path), expected);
        QCOMPARE(m_opened, QStringList{path});
    }

    void exportsCheckedGroupsInListOrder()
    {
        addTask(FocusGroup::completedId(), QStringLiteral("=Done"));
        addTask(FocusGroup::inboxId(), QStringLiteral("In"));
        const FocusGroup::Id first = makeGroup({"f1", "=f2"}, nullptr, QStringLiteral("First"));
        makeGroup({QStringLiteral("s")}, nullptr, QStringLiteral("Skipped"));
        const FocusGroup::Id gone = makeGroup({QStringLiteral("g")}, nullptr, QStringLiteral("Gone"));
        ExportDialog* dialog = showExportDialog(nullptr);
        listOf(dialog)->item(2)->setCheckState(Qt::Unchecked);
        // Removed after the list was filled: skipped without a word.
        store()->removeGroup(gone);
        store()->removeTask(first, store()->group(first).taskIds().constFirst(), true);
        const QString path = m_dir.filePath(QStringLiteral("order.txt"));
        QVERIFY(!exportTo(path));
        QCOMPARE(testenv::readBytes(path), QByteArray("[Inbox]\r\n- In\r\n\r\n[First]\r\n= f2\r\n\r\n[Completed]\r\n= Done\r\n\r\n"));
        QVERIFY(m_errors.isEmpty());
    }

    // A new name typed without an extension gets the format's. A calendar program would take a
    // calendar file in at once: it is not opened.
    void formatGivesTheFileItsKind()
    {
        const FocusGroup::Id kitchen = makeGroup({QStringLiteral("Äpfel|für €"), QStringLiteral("=Done")});
        addTask(FocusGroup::inboxId(), QStringLiteral("not exported"));
        QVERIFY(!exportTo(m_dir.filePath(QStringLiteral("kitchen")), kitchen, ExportDialog::Calendar));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("kitchen"))));
        const QByteArray bytes = testenv::readBytes(m_dir.filePath(QStringLiteral("kitchen.ics")));
        QVERIFY2(bytes.startsWith("BEGIN:VCALENDAR"), bytes.constData());
        QVERIFY(bytes.contains("SUMMARY:\xc3\x84pfel"));
        QVERIFY(bytes.contains("SUMMARY:Done"));
        // The list's order, for programs that sort by it.
        const qsizetype first = bytes.indexOf("SORT-ORDER:1024\r\n");
        QVERIFY(first > 0 && first < bytes.indexOf("SORT-ORDER:2048\r\n"));
        QVERIFY(!bytes.contains("not exported"));
        QVERIFY(m_opened.isEmpty());
        QVERIFY(m_errors.isEmpty());
    }

    void failuresKeepDialog_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("error");
        for (const int format : {int(ExportDialog::Text), int(ExportDialog::Calendar)}) {
            const QByteArray kind = format == ExportDialog::Text ? "text, " : "calendar, ";
            const QString missing = m_dir.filePath(QStringLiteral("no such folder/out.txt"));
            QTest::newRow(kind + "cancelled") << QString() << format << QString();
            QTest::newRow(kind + "cannot open") << missing << format
                                                << QStringLiteral("Failed to open file \"%1\" for writing.").arg(missing);
            QTest::newRow(kind + "cannot write") << "/dev/full" << format << "Failed to write file \"/dev/full\".";
        }
    }

    void failuresKeepDialog()
    {
        QFETCH(QString, path);
        QFETCH(int, format);
        QFETCH(QString, error);
        if (path == QLatin1String("/dev/full") && !QFile::exists(path))
            QSKIP("/dev/full is missing");
        makeGroup({QStringLiteral("Buy milk|and bread")}, nullptr, QStringLiteral("Home"));
        const QStringList files = QDir(m_dir.path()).entryList(QDir::Files);
        ExportDialog* dialog = exportTo(path, {}, ExportDialog::Format(format));
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QCOMPARE(m_errors, error.isEmpty() ? QStringList() : QStringList{productName() + QLatin1Char('|') + error});
        QVERIFY(m_opened.isEmpty());
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), files);
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("no such folder"))));
    }

    void secondShowOnlyActivates()
    {
        const FocusGroup::Id home = makeGroup({QStringLiteral("Buy milk")}, nullptr, QStringLiteral("Home"));
        makeGroup({QStringLiteral("Report")});
        QPointer<ExportDialog> first = showExportDialog(nullptr);
        QVERIFY(first->isModal());
        // Minimised, it is still the open dialog.
        first->showMinimized();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(ExportDialog::openDialog(), first.data());
        first->showNormal();
        QCOMPARE(showExportDialog(nullptr, home), first.data());
        QCOMPARE(itemStates(first), QStringLiteral("-XX--"));
        QTest::mouseClick(button(first, "cancelButton"), Qt::LeftButton);
        QVERIFY(!ExportDialog::openDialog());
        QTRY_VERIFY(first.isNull());
        QCOMPARE(itemStates(showExportDialog(nullptr, home)), QStringLiteral("-Xo--"));
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
        m_chosenFiles = {file(QStringLiteral("planner.ics"), TwoTasks)};
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
    void importAddingNothingSaysWhy_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("report");
        QTest::newRow("no tasks") << calendar("") << "The file holds no tasks.";
        QTest::newRow("not a calendar") << QByteArray("Dear diary,\nnothing to do today.\n") << "No task of the file could be read.";
        QTest::newRow("no file") << QByteArray() << "The file could not be read.";
    }

    void importAddingNothingSaysWhy()
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

MRV_TEST_WIDGETS_MAIN(TstExportDialog)
#include "tst_exportdialog.moc"
