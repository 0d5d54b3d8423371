#include "store/databasewriter.h"
#include "store/tasksnapshot.h"
#include "store/taskstorage.h"
#include "store/taskstoragereader.h"
#include "support/testenv.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <unistd.h>

#include <algorithm>
#include <memory>

namespace {

const QByteArray kHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
const QString kTaskA = QStringLiteral("{0b7a1a9e-5a4f-4a43-9e43-2f0f5a1e0001}");
const QString kTaskB = QStringLiteral("{0b7a1a9e-5a4f-4a43-9e43-2f0f5a1e0002}");
const QString kTaskC = QStringLiteral("{0b7a1a9e-5a4f-4a43-9e43-2f0f5a1e0003}");
const QString kUserGroup = QStringLiteral("{0b7a1a9e-5a4f-4a43-9e43-2f0f5a1e00aa}");

QByteArray document(const QByteArray& body, const QByteArray& version = "version=\"1\"")
{
    return kHeader + "<taskdb " + version + ">" + body + "</taskdb>";
}

QByteArray todo(const QString& id, const QByteArray& extra = QByteArray())
{
    return "<t><id>" + id.toUtf8() + "</id><completed>no</completed><tcrt>1700000000000</tcrt>" + extra + "</t>";
}

} // namespace

class TstDatabaseFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString newPath() { return m_dir.filePath(QUuid::createUuid().toString(QUuid::Id128) + QStringLiteral(".xml")); }

    std::shared_ptr<TaskStorage> load(const QByteArray& bytes, int* result)
    {
        const QString path = newPath();
        testenv::writeBytes(path, bytes);
        auto store = std::make_shared<TaskStorage>(path, 3600000);
        *result = store->init();
        return store;
    }

    static QByteArray written(const TaskSnapshot& snapshot)
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        if (!writeDatabase(&buffer, snapshot))
            return QByteArray();
        return buffer.data();
    }

private Q_SLOTS:
    void writtenDatabaseReadsBackTheSame_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const QString breaks = QStringLiteral("one\r\ntwo\rthree\r");
        const QString typed = QStringLiteral("  \tpadded <b>&amp;</b> ]]> \"q\" 'a' Café ✓ 😀 Привет 漢字\t  ");
        QTest::newRow("CR LF and lone CR") << breaks << breaks;
        QTest::newRow("only blanks") << QStringLiteral(" \n ") << QStringLiteral(" \n ");
        QTest::newRow("blanks, tabs, markup, emoji and scripts") << typed << typed;
        QTest::newRow("control characters, lone surrogates and non-characters dropped")
            << QString::fromUtf16(u"a\u0001b\u0008c\u000Bd\u001Fe") + QChar(0xD800) + QStringLiteral("f") + QChar(0xFFFE)
                   + QChar(0xFFFF) + QStringLiteral("g")
            << QStringLiteral("abcdefg");
    }

    void writtenDatabaseReadsBackTheSame()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const QString path = newPath();
        TaskSnapshot before;
        FocusGroup::Id group;
        TodoTask::Id a;
        {
            TaskStorage store(path, 3600000);
            QCOMPARE(store.init(), 0);
            group = store.addGroup(text, text);
            a = store.createTask(group);
            const TodoTask::Id b = store.createTask(FocusGroup::inboxId());
            store.addTaskToGroup(FocusGroup::inboxId(), a);
            store.setTaskName(a, text);
            store.setTaskNotes(a, text);
            store.setTaskDue(a, QDateTime(QDate(2027, 3, 1), QTime(9, 15, 30, 123)));
            store.setTaskCompleted(b, true, QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5, 678)));
            store.removeTask(FocusGroup::inboxId(), b, true); // an unlisted record is kept too
            store.snapshot(before);
            QVERIFY(store.commitNow());
        }
        TaskStorage reloaded(path, 3600000);
        QCOMPARE(reloaded.init(), 0);
        QCOMPARE(reloaded.revision(), 0);
        QCOMPARE(reloaded.task(a).name(), expected);
        QCOMPARE(reloaded.task(a).notes(), expected);
        QCOMPARE(reloaded.group(group).name(), expected);
        QCOMPARE(reloaded.group(group).iconKey(), expected);
        if (expected != text)
            return;
        // Everything else as it was: the times to the millisecond, the unlisted record.
        TaskSnapshot after;
        reloaded.snapshot(after);
        QCOMPARE(after.groups, before.groups);
        QCOMPARE(after.tasks.size(), 2);
        for (const TodoTask& task : before.tasks)
            QCOMPARE(reloaded.task(task.id()), task);
    }

    void loneSurrogatesOfAnotherEncodingAreDropped()
    {
        // UTF-16 can carry a surrogate without its partner; the writer could not keep it.
        const QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?><taskdb version=\"1\"><todos>")
            + QString::fromUtf8(todo(kTaskA, "<name>a" + QByteArray("\x01") + "</name>")).replace(QChar(1), QChar(0xDC00))
            + QStringLiteral("</todos></taskdb>");
        QByteArray bytes("\xFF\xFE", 2);
        bytes += QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        int result = -1;
        auto store = load(bytes, &result);
        QCOMPARE(result, 0);
        QCOMPARE(store->task(QUuid(kTaskA)).name(), QStringLiteral("a"));
    }

    // A file as the program writes it, byte for byte. Earlier versions read it too: the repeat
    // rule is the one element they pass over.
    void writtenFileIsExactAndRepeatRulesAreOneElementMore()
    {
        const QByteArray file = testenv::readBytes(QFINDTESTDATA("data/repeat-written.xml"));
        int result = -1;
        auto store = load(file, &result);
        QCOMPARE(result, 0);
        QCOMPARE(store->revision(), 0);
        QCOMPARE(store->task(QUuid(kTaskA)).repeatRule(), QStringLiteral("FREQ=WEEKLY;BYDAY=MO"));
        QCOMPARE(store->task(QUuid(kTaskB)).repeatRule(), QStringLiteral("FREQ=MONTHLY;BYMONTHDAY=31"));
        QCOMPARE(store->task(QUuid(kTaskC)).repeatRule(), QStringLiteral("FREQ=DAILY;COUNT=3"));

        TaskSnapshot snapshot;
        store->snapshot(snapshot);
        std::sort(snapshot.tasks.begin(), snapshot.tasks.end(),
                  [](const TodoTask& a, const TodoTask& b) { return a.id() < b.id(); });
        QCOMPARE(written(snapshot), file);
        for (TodoTask& task : snapshot.tasks)
            task.setRepeat(QString());
        QString withoutRepeats = QString::fromUtf8(file);
        withoutRepeats.remove(QRegularExpression(QStringLiteral("<repeat>[^<]*</repeat>")));
        QCOMPARE(written(snapshot), withoutRepeats.toUtf8());
    }

    void readerResults_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("result");
        const QByteArray group = "<groups><g name=\"A\" id=\"" + kUserGroup.toUtf8() + "\">";
        QTest::newRow("empty database") << document(QByteArray()) << 0;
        QTest::newRow("newer version") << document(QByteArray(), "version=\"2\"") << 1;
        QTest::newRow("version not a number") << document(QByteArray(), "version=\"x\"") << 2;
        QTest::newRow("version missing") << document(QByteArray(), "v=\"1\"") << 2;
        QTest::newRow("empty file") << QByteArray() << 3;
        QTest::newRow("wrong root") << QByteArray(kHeader + "<tasks version=\"1\"/>") << 3;
        QTest::newRow("group without id") << document("<groups><g name=\"A\"/></groups>") << 3;
        QTest::newRow("group id not a uuid") << document("<groups><g name=\"A\" id=\"nope\"/></groups>") << 3;
        QTest::newRow("malformed tid") << document(group + "<tid>123</tid></g></groups>") << 3;
        QTest::newRow("element inside tid") << document(group + "<tid><x/></tid></g></groups>") << 3;
        QTest::newRow("task without id") << document("<todos><t><name>x</name></t></todos>") << 3;
        QTest::newRow("unknown elements and the old tags are passed over")
            << document("<tags><t><id>x</id></t></tags><extra><more/></extra><todos>"
                        + todo(kTaskA, "<tags>work</tags><colour>red</colour>") + "</todos>")
            << 0;
    }

    void readerResults()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, result);
        int actual = -1;
        load(bytes, &actual);
        QCOMPARE(actual, result);
    }

    void failedLoadNeverWritesTheFile()
    {
        const QByteArray bytes = document(QByteArray(), "version=\"2\"");
        const QString path = newPath();
        testenv::writeBytes(path, bytes);
        {
            auto store = std::make_shared<TaskStorage>(path, 10);
            QCOMPARE(store->init(), 1);
            store->createTask(FocusGroup::inboxId());
            QTest::qWait(50);
        }
        QCOMPARE(testenv::readBytes(path), bytes);
        QVERIFY(!QFile::exists(path + QStringLiteral(".bak")));
        QVERIFY(!QFile::exists(path + QStringLiteral(".new")));
    }

    void fileThatCannotBeOpenedIsUnreadable()
    {
        const QString folder = newPath();
        QVERIFY(QDir().mkpath(folder));
        QCOMPARE(TaskStorage(folder, 10).init(), 3);
        if (::geteuid() == 0)
            QSKIP("root can read any file");
        const QString path = newPath();
        testenv::writeBytes(path, document(todo(kTaskA)));
        QFile::setPermissions(path, QFile::WriteOwner);
        QCOMPARE(TaskStorage(path, 10).init(), 3);
    }

    void groupElementsAndFixedGroups()
    {
        const QByteArray body = "<groups><g name=\"Mine\" id=\"{b78901e8-4787-4e9e-8977-f940608e4fb9}\"/>"
                                "<g name=\"First\" id=\"" + kUserGroup.toUtf8() + "\"><icon>money</icon><tid>" + kTaskA.toUtf8() + "</tid></g>"
                                "<g name=\"Second\" id=\"" + kUserGroup.toUtf8() + "\"><icon/><tid>" + kTaskB.toUtf8()
            + "</tid><tid>" + kTaskB.toUtf8() + "</tid></g>"
              "</groups><todos>" + todo(kTaskA) + todo(kTaskB) + "</todos>";
        int result = -1;
        auto store = load(document(body), &result);
        QCOMPARE(result, 0);
        const FocusGroup group = store->group(QUuid(kUserGroup));
        // A group listed twice is shown once: the first record, with the tasks of both, and
        // the merge is written back.
        QCOMPARE(group.name(), QStringLiteral("First"));
        QCOMPARE(group.iconKey(), QStringLiteral("money"));
        QCOMPARE(group.taskIds(), (QList<QUuid>{QUuid(kTaskA), QUuid(kTaskB)}));
        QCOMPARE(store->groupIds().mid(3), QList<QUuid>{QUuid(kUserGroup)});
        QCOMPARE(store->revision(), 1);
        // The fixed groups the file lacks are added; the Inbox keeps the name it has there.
        QCOMPARE(store->group(FocusGroup::inboxId()).name(), QStringLiteral("Mine"));
        QCOMPARE(store->group(FocusGroup::trashId()).name(), QStringLiteral("Trash"));
        QCOMPARE(store->group(FocusGroup::completedId()).name(), QStringLiteral("Completed"));
    }
};

MRV_TEST_GUILESS_MAIN(TstDatabaseFile)
#include "tst_databasefile.moc"
