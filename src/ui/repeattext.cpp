#include "ui/repeattext.h"

#include "store/repeatrule.h"

#include <QLocale>
#include <QStringList>

namespace {

const QList<int> kMondayToFriday{1, 2, 3, 4, 5};

} // namespace

QString RepeatText::weekday(int day)
{
    return QLocale().dayName(day, QLocale::LongFormat);
}

QString RepeatText::dayAndMonth(const QDate& date)
{
    // QLocale has no format without the year; the order of day and month is the translation's.
    return QLocale().toString(date, tr("d MMMM", "day and month of a yearly repeat, a QDate format"));
}

QList<int> RepeatText::weekOrder()
{
    const int first = QLocale().firstDayOfWeek();
    QList<int> days;
    for (int i = 0; i < 7; ++i)
        days << (first - 1 + i) % 7 + 1;
    return days;
}

QString RepeatText::phrase(const RepeatRule& rule, const QDate& due)
{
    const int n = rule.interval();
    switch (rule.frequency()) {
    case RepeatRule::None:
        return QString();
    case RepeatRule::Daily:
        return n == 1 ? tr("every day") : tr("every %n days", nullptr, n);
    case RepeatRule::Weekly: {
        QList<int> days = rule.weekdays();
        if (days.isEmpty() && due.isValid())
            days << due.dayOfWeek();
        if (days.isEmpty())
            return n == 1 ? tr("every week") : tr("every %n weeks", nullptr, n);
        if (n == 1 && days == kMondayToFriday)
            return tr("every weekday (%1 to %2)").arg(weekday(1), weekday(5));
        QStringList names;
        for (int day : weekOrder()) {
            if (days.contains(day))
                names << weekday(day);
        }
        const QString list = names.join(tr(", ", "between weekdays"));
        return n == 1 ? tr("every week on %1").arg(list) : tr("every %n weeks on %1", nullptr, n).arg(list);
    }
    case RepeatRule::Monthly: {
        const int day = rule.monthDay() == 0 && due.isValid() ? due.day() : rule.monthDay();
        if (day == -1)
            return n == 1 ? tr("every month on the last day") : tr("every %n months on the last day", nullptr, n);
        if (day == 0)
            return n == 1 ? tr("every month") : tr("every %n months", nullptr, n);
        return n == 1 ? tr("every month on day %1").arg(day) : tr("every %n months on day %1", nullptr, n).arg(day);
    }
    case RepeatRule::Yearly:
        if (!due.isValid())
            return n == 1 ? tr("every year") : tr("every %n years", nullptr, n);
        return n == 1 ? tr("every year on %1").arg(dayAndMonth(due))
                      : tr("every %n years on %1", nullptr, n).arg(dayAndMonth(due));
    }
    return QString();
}

QString RepeatText::describe(const RepeatRule& rule, const QDate& due)
{
    const QString text = phrase(rule, due);
    if (text.isEmpty())
        return tr("Does not repeat");
    // Standing alone, the phrase begins a sentence.
    return QLocale().toUpper(text.left(1)) + text.mid(1);
}

QString RepeatText::summary(const RepeatRule& rule, const QDate& due)
{
    const QString text = phrase(rule, due);
    return text.isEmpty() ? tr("Does not repeat") : tr("Repeats: %1").arg(text);
}
