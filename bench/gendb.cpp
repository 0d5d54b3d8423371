#include "gendb.h"

#include "store/databasewriter.h"

#include <QFile>
#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>
#include <iterator>

namespace bench {

namespace {

constexpr int UserGroupCount = 20;
// 2024-03-01T00:00:00Z: every time in the file is placed around it, so runs do not depend on today.
constexpr qint64 BaseMs = 1709251200000LL;
constexpr qint64 DayMs = 24LL * 3600 * 1000;

const char* const EnglishWords[] = {
    "call", "email", "review", "draft", "report", "meeting", "budget", "invoice", "plan", "fix",
    "update", "send", "buy", "book", "check", "prepare", "schedule", "weekly", "quarterly",
    "client", "project", "notes", "slides", "dentist", "groceries", "car", "insurance", "tax",
    "return", "backup", "laptop", "server", "deploy", "release", "feedback", "contract", "renew",
    "passport", "flight", "hotel", "birthday", "gift", "for", "the", "with", "about", "before",
    "after", "Friday", "Monday", "team", "design", "Q&A", "R&D", "follow-up", "roadmap",
};

const char* const PortugueseWords[] = {
    "reunião", "relatório", "orçamento", "ligar", "enviar", "comprar", "revisão", "próxima",
    "semana", "família", "médico", "viagem", "configuração", "apresentação", "contrato",
    "pagamento", "conta", "luz", "água", "mercado", "pão", "atualização", "avaliação", "para",
    "com", "até", "sexta-feira", "segunda", "ação", "informações", "cliente", "projeto",
};

const char* const RussianWords[] = {
    "отчёт", "встреча", "купить", "позвонить", "проект", "бюджет", "письмо", "отправить",
    "проверить", "договор", "оплатить", "счёт", "неделя", "пятница", "понедельник", "молоко",
    "хлеб", "врач", "билеты", "поездка", "обновить", "сервер", "презентация", "клиент", "для",
    "по", "до", "после", "семья", "подарок", "день", "рождения",
};

const char* const GroupNames[] = {
    "Work", "Home", "Shopping", "Errands", "Projects", "Reading list", "Someday", "Finances",
    "Health", "Travel", "Trabalho", "Casa", "Compras", "Estudos", "Работа", "Дом", "Покупки",
    "Ideas", "Waiting for", "Garden",
};

const char* const IconKeys[] = {"folder", "star", "home", "cart", "flag", "book", "heart", "", ""};

QStringList toStrings(const char* const* words, size_t count)
{
    QStringList list;
    list.reserve(static_cast<qsizetype>(count));
    for (size_t i = 0; i < count; ++i)
        list.append(QString::fromUtf8(words[i]));
    return list;
}

class Generator
{
public:
    explicit Generator(quint32 seed)
        : m_random(seed)
        , m_english(toStrings(EnglishWords, std::size(EnglishWords)))
        , m_portuguese(toStrings(PortugueseWords, std::size(PortugueseWords)))
        , m_russian(toStrings(RussianWords, std::size(RussianWords)))
    {
    }

    int bounded(int highest) { return static_cast<int>(m_random.bounded(highest)); }
    bool chance(int percent) { return bounded(1000) < percent * 10; }
    bool permille(int value) { return bounded(1000) < value; }

    QUuid uuid()
    {
        for (;;) {
            const quint32 a = m_random.generate();
            const quint32 b = m_random.generate();
            const quint32 c = m_random.generate();
            const quint32 d = m_random.generate();
            // Random-based layout: version 4, RFC 4122 variant.
            const QUuid id(a, static_cast<ushort>(b >> 16), static_cast<ushort>((b & 0x0FFF) | 0x4000),
                           static_cast<uchar>(((c >> 24) & 0x3F) | 0x80), static_cast<uchar>(c >> 16),
                           static_cast<uchar>(c >> 8), static_cast<uchar>(c), static_cast<uchar>(d >> 24),
                           static_cast<uchar>(d >> 16), static_cast<uchar>(d >> 8), static_cast<uchar>(d));
            if (FocusGroup::isUserGroup(id))
                return id;
        }
    }

    // One language per text: mostly English, some Portuguese and Russian.
    const QStringList& words()
    {
        const int pick = bounded(100);
        if (pick < 70)
            return m_english;
        return pick < 85 ? m_portuguese : m_russian;
    }

    QString name()
    {
        const QStringList& list = words();
        const int length = 20 + bounded(61);
        QString text;
        text.reserve(length + 32);
        while (text.size() < length) {
            if (!text.isEmpty())
                text += QLatin1Char(' ');
            text += list.at(bounded(static_cast<int>(list.size())));
        }
        if (text.size() > 80)
            text.truncate(80);
        if (text.endsWith(QLatin1Char(' ')))
            text.chop(1);
        text[0] = text.at(0).toUpper();
        return text;
    }

    QString notes()
    {
        const QStringList& list = words();
        const int length = bounded(401);
        // Notes pasted from elsewhere sometimes carry CR LF line ends.
        const QString lineBreak = chance(5) ? QStringLiteral("\r\n") : QStringLiteral("\n");
        const bool multiLine = chance(30);
        QString text;
        text.reserve(length + 32);
        int wordsInSentence = 0;
        while (text.size() < length) {
            if (wordsInSentence > 4 && chance(15)) {
                text += QLatin1Char('.');
                text += multiLine ? lineBreak : QStringLiteral(" ");
                wordsInSentence = 0;
            } else if (!text.isEmpty()) {
                text += QLatin1Char(' ');
            }
            text += list.at(bounded(static_cast<int>(list.size())));
            ++wordsInSentence;
        }
        text.truncate(length);
        return text;
    }

    QDateTime time(qint64 ms) { return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC); }
    qint64 randomMs(qint64 span) { return static_cast<qint64>(m_random.bounded(static_cast<double>(span))); }

private:
    QRandomGenerator m_random;
    QStringList m_english;
    QStringList m_portuguese;
    QStringList m_russian;
};

} // namespace

TaskSnapshot makeSnapshot(int taskCount, quint32 seed)
{
    Generator gen(seed);
    TaskSnapshot snapshot;

    QList<QUuid> userGroupIds;
    QList<FocusGroup::TaskIdList> userGroupTasks(UserGroupCount);
    for (int i = 0; i < UserGroupCount; ++i)
        userGroupIds.append(gen.uuid());
    FocusGroup::TaskIdList inbox, completed, trash;

    snapshot.tasks.reserve(taskCount);
    for (int i = 0; i < taskCount; ++i) {
        const QUuid id = gen.uuid();
        const QString name = gen.name();
        const QString notes = gen.chance(50) ? gen.notes() : QString();
        // Created within the three years before the base time, in creation order.
        const qint64 createdMs = BaseMs - 3 * 365 * DayMs + (3 * 365 * DayMs) * i / qMax(1, taskCount)
            + gen.randomMs(DayMs);
        const QDateTime created = gen.time(createdMs);
        const QDateTime due = gen.chance(50) ? gen.time(BaseMs - 60 * DayMs + gen.randomMs(120 * DayMs)) : QDateTime();
        const bool isCompleted = gen.chance(10);
        const bool isTrashed = !isCompleted && gen.permille(5);
        const QDateTime completedAt = isCompleted ? gen.time(createdMs + gen.randomMs(30 * DayMs)) : QDateTime();
        const QDateTime deletedAt = isTrashed ? gen.time(createdMs + gen.randomMs(30 * DayMs)) : QDateTime();
        snapshot.tasks.append(TodoTask(id, name, notes, isCompleted, due, created, completedAt, deletedAt));

        if (isCompleted) {
            completed.append(id);
        } else if (isTrashed) {
            trash.append(id);
        } else {
            int primary = -1;
            if (gen.chance(25))
                inbox.append(id);
            else
                userGroupTasks[primary = gen.bounded(UserGroupCount)].append(id);
            // About 5% of all tasks (of the ~90% still open) are listed in a second group.
            if (gen.permille(56)) {
                int second = gen.bounded(primary < 0 ? UserGroupCount : UserGroupCount - 1);
                if (primary >= 0 && second >= primary)
                    ++second;
                userGroupTasks[second].append(id);
            }
        }
    }

    snapshot.groups.append(FocusGroup(FocusGroup::inboxId(), QStringLiteral("Inbox"), QString(), inbox));
    snapshot.groups.append(FocusGroup(FocusGroup::completedId(), QStringLiteral("Completed"), QString(), completed));
    snapshot.groups.append(FocusGroup(FocusGroup::trashId(), QStringLiteral("Trash"), QString(), trash));
    for (int i = 0; i < UserGroupCount; ++i) {
        const QString icon = QLatin1String(IconKeys[i % std::size(IconKeys)]);
        snapshot.groups.append(
            FocusGroup(userGroupIds.at(i), QString::fromUtf8(GroupNames[i]), icon, userGroupTasks.at(i)));
    }
    return snapshot;
}

bool writeDatabaseFile(const QString& path, const TaskSnapshot& snapshot, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error)
            *error = QStringLiteral("cannot open ") + path + QStringLiteral(": ") + file.errorString();
        return false;
    }
    const bool written = writeDatabase(&file, snapshot) && file.flush();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        if (error)
            *error = QStringLiteral("cannot write ") + path + QStringLiteral(": ") + file.errorString();
        return false;
    }
    return true;
}

} // namespace bench
