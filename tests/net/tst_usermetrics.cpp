#include "net/usermetrics.h"
#include "support/testenv.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <vector>

namespace {

const QRegularExpression IdForm(QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$"));

QByteArray metricsDocument(const QString& id)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><metrics><id>" + id.toUtf8() + "</id></metrics>\n";
}

} // namespace

class TstUserMetrics : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void cleanup() { UserMetrics::destroy(); }

    // One id, made on first use, whichever thread asks first.
    void threadsShareOneId()
    {
        UserMetrics metrics;
        QVERIFY(metrics.storedId().isEmpty());
        constexpr int Count = 8;
        QString seen[Count];
        std::vector<std::unique_ptr<QThread>> threads;
        for (int i = 0; i < Count; ++i)
            threads.emplace_back(QThread::create([&metrics, &seen, i] { seen[i] = metrics.id(); }));
        for (auto& thread : threads)
            thread->start();
        for (auto& thread : threads)
            QVERIFY(thread->wait(5000));
        for (const QString& id : seen)
            QCOMPARE(id, seen[0]);
        QVERIFY2(IdForm.match(seen[0]).hasMatch(), qPrintable(seen[0]));
        QCOMPARE(metrics.id(), seen[0]);
    }

    // What is saved is the document the load table reads back; a save that cannot write leaves
    // nothing behind.
    void saveWritesTheId()
    {
        const QString file = path(QStringLiteral("saved.xml"));
        UserMetrics metrics;
        const QString id = metrics.id();
        metrics.save(file);
        QCOMPARE(testenv::readBytes(file), metricsDocument(id));

        QVERIFY(testenv::writeBytes(path(QStringLiteral("plain")), "not a folder"));
        metrics.save(path(QStringLiteral("plain/metrics.xml")));
        QVERIFY(!QFile::exists(path(QStringLiteral("plain/metrics.xml"))));
    }

    // Loading replaces the id in use only with one it reads; what cannot be read leaves it alone.
    void load_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("id"); // "kept": the id in use stays

        const QString id = QStringLiteral("0b7c1e52-34f2-4d7b-9a0e-5c2f19d8e6a1");
        QTest::newRow("saved") << metricsDocument(id) << true << id;
        QTest::newRow("no id: none") << QByteArray("<?xml version=\"1.0\"?><metrics/>") << true << QString();
        QTest::newRow("not XML") << QByteArray("id=" + id.toUtf8()) << false << "kept";
        QTest::newRow("no file") << QByteArray() << false << "kept";
    }

    void load()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, result);
        QFETCH(QString, id);
        const QString file = path(QTest::currentDataTag());
        if (!content.isNull())
            QVERIFY(testenv::writeBytes(file, content));
        UserMetrics metrics;
        const QString inUse = metrics.id();
        QCOMPARE(metrics.load(file), result);
        QCOMPARE(metrics.storedId(), id == QLatin1String("kept") ? inUse : id);
    }
};

MRV_TEST_GUILESS_MAIN(TstUserMetrics)

#include "tst_usermetrics.moc"
