// Every text the program shows has a translation in every carried language. The translation
// sources are brought up to date with the code first (in a copy), so a text added to the code
// without a translation fails here too.

#include "support/testenv.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>

namespace {

/// What is wrong with the translations of a translation source, one line a message; `messages`
/// counts the messages read.
QStringList problemsIn(const QString& path, int pluralForms, int* messages)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly); // a file not read has no messages, which the test refuses
    QXmlStreamReader xml(&file);
    QStringList problems;
    QString context;
    QString source;
    bool numerus = false;
    while (!xml.atEnd()) {
        if (!xml.readNextStartElement())
            continue;
        const QStringView name = xml.name();
        if (name == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (name == QLatin1String("message")) {
            numerus = xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes");
        } else if (name == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (name == QLatin1String("translation")) {
            ++*messages;
            const QString where = context + QStringLiteral(": ") + source.left(50);
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            QStringList forms;
            if (numerus) {
                while (xml.readNextStartElement())
                    forms << xml.readElementText();
            } else {
                forms << xml.readElementText();
            }
            if (!type.isEmpty()) {
                problems << type + QStringLiteral(" - ") + where;
                continue;
            }
            if (numerus && forms.size() != pluralForms)
                problems << QStringLiteral("plural forms - ") + where;
            for (const QString& form : forms) {
                if (form.trimmed().isEmpty())
                    problems << QStringLiteral("empty - ") + where;
            }
        }
    }
    return problems;
}

} // namespace

class TstTranslations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyTextIsTranslated_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("pluralForms");
        QTest::newRow("pt_PT") << "pt_PT" << 2;
        QTest::newRow("ru_RU") << "ru_RU" << 3;
    }

    void everyTextIsTranslated()
    {
        QFETCH(QString, locale);
        QFETCH(int, pluralForms);
        const QString root = qEnvironmentVariable("MIREVO_SOURCE_DIR");
        const QString lupdate = qEnvironmentVariable("MIREVO_LUPDATE");
        QVERIFY2(QFile::exists(lupdate), "MIREVO_LUPDATE must name lupdate");

        QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral("copy.ts"));
        QVERIFY(QFile::copy(root + QStringLiteral("/translations/mirevo_") + locale + QStringLiteral(".ts"), copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        QProcess run;
        run.start(lupdate, {QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
                            QStringLiteral("-I"), root + QStringLiteral("/src"), root + QStringLiteral("/src"),
                            QStringLiteral("-ts"), copy});
        QVERIFY(run.waitForFinished(60000));
        QCOMPARE(run.exitCode(), 0);

        int messages = 0;
        const QStringList problems = problemsIn(copy, pluralForms, &messages);
        QVERIFY(messages > 50);
        QVERIFY2(problems.isEmpty(), qPrintable(QStringLiteral("\n") + problems.join(QLatin1Char('\n'))));
    }
};

MRV_TEST_GUILESS_MAIN(TstTranslations)

#include "tst_translations.moc"
