// Every text the program shows has a translation in every carried language. The translation
// sources are brought up to date with the code first (in a copy), so a text added to the code
// without a translation fails here too.

#include "support/testenv.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

namespace {

struct Message
{
    QString context;
    QString source;
    QString type;
    QStringList forms;
    bool numerus = false;
};

QList<Message> readMessages(const QString& path)
{
    QList<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return messages;
    QXmlStreamReader xml(&file);
    QString context;
    Message message;
    while (xml.readNextStartElement() || !xml.atEnd()) {
        if (!xml.isStartElement())
            continue;
        const QStringView name = xml.name();
        if (name == QLatin1String("TS") || name == QLatin1String("context")) {
            continue;
        } else if (name == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (name == QLatin1String("message")) {
            message = Message{context, {}, {}, {}, xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes")};
        } else if (name == QLatin1String("source")) {
            message.source = xml.readElementText();
        } else if (name == QLatin1String("translation")) {
            message.type = xml.attributes().value(QLatin1String("type")).toString();
            if (message.numerus) {
                while (xml.readNextStartElement())
                    message.forms << xml.readElementText();
            } else {
                message.forms << xml.readElementText();
            }
            messages << message;
        } else {
            xml.skipCurrentElement();
        }
    }
    return messages;
}

QStringList placeholders(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("%\\d|%n"));
    QStringList found;
    for (auto it = pattern.globalMatch(text); it.hasNext();)
        found << it.next().captured();
    found.sort();
    found.removeDuplicates();
    return found;
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

        const QList<Message> messages = readMessages(copy);
        QVERIFY(messages.size() > 50);
        QStringList problems;
        for (const Message& message : messages) {
            const QString where = message.context + QStringLiteral(": ") + message.source.left(50);
            if (!message.type.isEmpty()) {
                problems << message.type + QStringLiteral(" - ") + where;
                continue;
            }
            if (message.numerus && message.forms.size() != pluralForms)
                problems << QStringLiteral("plural forms - ") + where;
            for (const QString& form : message.forms) {
                if (form.trimmed().isEmpty())
                    problems << QStringLiteral("empty - ") + where;
                else if (placeholders(form) != placeholders(message.source))
                    problems << QStringLiteral("placeholders - ") + where;
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(QStringLiteral("\n") + problems.join(QLatin1Char('\n'))));
    }
};

MRV_TEST_GUILESS_MAIN(TstTranslations)

#include "tst_translations.moc"
