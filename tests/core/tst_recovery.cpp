// Starting from the backup when the database is damaged: the question, its two answers, and
// the damaged file kept aside.

#include "core/taskcore.h"
#include "store/taskstorage.h"
#include "support/testenv.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

const QByteArray kBackup = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><taskdb version=\"1\"><groups>"
                           "<g name=\"Inbox\" id=\"{b78901e8-4787-4e9e-8977-f940608e4fb9}\">"
                           "<tid>{11111111-1111-4111-8111-111111111111}</tid><tid>{22222222-2222-4222-8222-222222222222}</tid>"
                           "</g></groups><todos>"
                           "<t><id>{11111111-1111-4111-8111-111111111111}</id><name>One</name><completed>no</completed></t>"
                           "<t><id>{22222222-2222-4222-8222-222222222222}</id><name>Two</name><completed>no</completed></t>"
                           "</todos></taskdb>";
const QByteArray kDamaged = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><taskdb version=\"1\"><groups><g name=";

} // namespace

class TstRecovery : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { TaskCore::destroy(); }

    void damagedDatabaseBesideABackup_data()
    {
        QTest::addColumn<QByteArray>("backup");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("recovered");
        QTest::newRow("yes") << kBackup << true << true << true;
        QTest::newRow("no") << kBackup << false << true << false;
        QTest::newRow("damaged backup") << kDamaged << true << false << false;
        QTest::newRow("no backup") << QByteArray() << true << false << false;
    }

    void damagedDatabaseBesideABackup()
    {
        QFETCH(QByteArray, backup);
        QFETCH(bool, answer);
        QFETCH(bool, asked);
        QFETCH(bool, recovered);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("database.xml"));
        QVERIFY(testenv::writeBytes(path, kDamaged));
        if (!backup.isNull())
            QVERIFY(testenv::writeBytes(path + QStringLiteral(".bak"), backup));

        int askedTasks = -1;
        const int result = TaskCore::instance()->initOrRecover(path, 3600000, [&](const QDateTime& when, int tasks) {
            askedTasks = tasks;
            return when.isValid() && answer;
        });
        QCOMPARE(askedTasks, asked ? 2 : -1);
        QCOMPARE(result == 0, recovered);
        const QStringList aside = QDir(dir.path()).entryList({QStringLiteral("database.xml.damaged-*")});
        QCOMPARE(aside.size(), recovered ? 1 : 0);
        if (!recovered) {
            // Nothing was written: the damaged file stays where it was.
            QCOMPARE(testenv::readBytes(path), kDamaged);
            return;
        }
        QCOMPARE(testenv::readBytes(dir.filePath(aside.first())), kDamaged);
        QCOMPARE(TaskCore::instance()->storage()->group(FocusGroup::inboxId()).taskIds().size(), 2);
        TaskCore::destroy();
        int tasks = 0;
        QCOMPARE(TaskStorage::inspect(path, &tasks), 0);
        QCOMPARE(tasks, 2);
    }
};

MRV_TEST_GUILESS_MAIN(TstRecovery)
#include "tst_recovery.moc"
