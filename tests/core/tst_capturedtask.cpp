#include "core/capturedtask.h"
#include "store/focusgroup.h"
#include "store/taskstorage.h"
#include "support/testenv.h"
#include "widgets/datewidget.h"
#include "widgets/fancylineedit.h"
#include "widgets/hintededit.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

CapturedTask task(const QString& name, const QString& notes = QString(), const QDate& due = QDate())
{
    CapturedTask task;
    task.m_name = name;
    task.m_notes = notes;
    task.m_due = due;
    return task;
}

QString message(const QByteArray& json)
{
    return QStringLiteral("add-task:") + QString::fromLatin1(json.toBase64());
}

} // namespace

class TstCapturedTask : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void messageCarriesAnyText_data()
    {
        QTest::addColumn<CapturedTask>("task");
        CapturedTask all = task(QStringLiteral("Call"), QStringLiteral("Leak"), QDate(2024, 2, 29));
        all.m_id = QUuid::createUuid();
        QTest::newRow("all fields") << all;
        QTest::newRow("NUL and control characters")
            << task(QStringLiteral("a") + QChar(0) + QStringLiteral("b\x01\x1f\x7f"), QString(QChar(0)));
        QTest::newRow("quotes, backslashes, JSON and the prefix")
            << task(QStringLiteral("\"}{\\\"name\":1, \\u0000"), QStringLiteral("add-task:show"));
        QTest::newRow("emoji and right-to-left") << task(QStringLiteral("😀👩‍👩‍👧 שלום Привет"), QStringLiteral("مرحبا"));
        QTest::newRow("long notes") << task(QStringLiteral("Long"), QString(300000, QChar(0x00e9)));
    }

    void messageCarriesAnyText()
    {
        QFETCH(CapturedTask, task);
        const QString text = task.toMessage();
        QVERIFY(CapturedTask::isTaskMessage(text));
        for (const QChar c : text)
            QVERIFY2(c.unicode() > 0x20 && c.unicode() < 0x7f, "one line of visible ASCII");
        CapturedTask read;
        QString error;
        QVERIFY2(CapturedTask::fromMessage(text, &read, &error), qPrintable(error));
        QCOMPARE(read, task);
    }

    void malformedMessagesAreRejected_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("show") << QStringLiteral("show");
        QTest::newRow("not base64") << QStringLiteral("add-task:{\"name\":\"x\"}");
        QTest::newRow("not JSON") << message("name=x");
        QTest::newRow("text after the object") << message("{\"name\":\"x\"} {}");
        QTest::newRow("invalid UTF-8") << message("{\"name\":\"\xff\xfe\"}");
        QTest::newRow("no name") << message("{\"notes\":\"n\"}");
        QTest::newRow("control characters only") << message("{\"name\":\"\\u0001\\u007f\\u200b\"}");
        QTest::newRow("id not a UUID") << message("{\"name\":\"x\",\"id\":\"42\"}");
        QTest::newRow("unknown field") << message("{\"name\":\"x\",\"group\":\"Trash\"}");
        QTest::newRow("day with a time") << message("{\"name\":\"x\",\"due\":\"2024-05-01T10:00\"}");
    }

    void malformedMessagesAreRejected()
    {
        QFETCH(QString, text);
        CapturedTask read = task(QStringLiteral("unchanged"));
        QString error;
        QVERIFY(!CapturedTask::fromMessage(text, &read, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(read, task(QStringLiteral("unchanged")));
    }

    // The due date is the value a task row's date field gives for the same day typed in.
    void addsToTheEndOfTheInboxWithTheDateFieldsDue()
    {
        QTemporaryDir dir;
        TaskStorage storage(dir.filePath(QStringLiteral("database.xml")), 3600000);
        QCOMPARE(storage.init(), 0);
        const TodoTask::Id first = storage.createTask(FocusGroup::inboxId());
        const CapturedTask captured = task(QStringLiteral("Call"), QStringLiteral("Leak"), QDate(2024, 3, 31));
        const TodoTask::Id id = captured.addToInbox(storage);
        QCOMPARE(storage.group(FocusGroup::inboxId()).taskIds(), (QList<TodoTask::Id>{first, id}));

        DateWidget field(QDateTime(QDate(2000, 1, 1), QTime(0, 0)));
        QSignalSpy typed(&field, &DateWidget::valueChanged);
        field.edit()->selectAll();
        QTest::keyClicks(field.edit(), captured.m_due.toString(DateWidget::displayFormat()));
        QVERIFY(!typed.isEmpty());
        const TodoTask added = storage.task(id);
        QCOMPARE(added.name(), captured.m_name);
        QCOMPARE(added.notes(), captured.m_notes);
        QCOMPARE(added.due(), typed.last().at(0).toDateTime());
    }
};

MRV_TEST_WIDGETS_MAIN(TstCapturedTask)
#include "tst_capturedtask.moc"
