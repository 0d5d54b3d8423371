#include "store/repeatrule.h"

#include <algorithm>

namespace {

const char* const DayCodes[] = {"MO", "TU", "WE", "TH", "FR", "SA", "SU"};
const char* const FrequencyNames[] = {"", "DAILY", "WEEKLY", "MONTHLY", "YEARLY"};

int dayOfCode(QStringView code)
{
    for (int i = 0; i < 7; ++i) {
        if (code == QLatin1String(DayCodes[i]))
            return i + 1;
    }
    return 0;
}

// The day `day` of the month of `first`, or its last day when the month is shorter.
QDate dayInMonth(const QDate& first, int day)
{
    return QDate(first.year(), first.month(), std::min(day, first.daysInMonth()));
}

} // namespace

RepeatRule::RepeatRule(Frequency frequency, int interval)
    : m_frequency(frequency)
    , m_interval(std::max(1, interval))
{
}

RepeatRule RepeatRule::parse(const QString& text)
{
    RepeatRule rule;
    bool sawInterval = false;
    bool sawDays = false;
    bool sawMonthDay = false;
    const QString upper = text.trimmed().toUpper();
    for (QStringView item : QStringView(upper).split(QLatin1Char(';'))) {
        const qsizetype equals = item.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return RepeatRule();
        const QStringView key = item.left(equals);
        const QStringView value = item.mid(equals + 1);
        if (key == QLatin1String("FREQ") && rule.m_frequency == None) {
            for (int f = Daily; f <= Yearly; ++f) {
                if (value == QLatin1String(FrequencyNames[f]))
                    rule.m_frequency = Frequency(f);
            }
            if (rule.m_frequency == None)
                return RepeatRule();
        } else if (key == QLatin1String("INTERVAL") && !sawInterval) {
            bool ok = false;
            rule.m_interval = value.toInt(&ok);
            if (!ok || rule.m_interval < 1 || !value.front().isDigit())
                return RepeatRule();
            sawInterval = true;
        } else if (key == QLatin1String("BYDAY") && !sawDays) {
            for (QStringView code : value.split(QLatin1Char(','))) {
                const int day = dayOfCode(code);
                if (day == 0)
                    return RepeatRule();
                rule.m_weekdays.append(day);
            }
            rule.setWeekdays(rule.m_weekdays);
            sawDays = true;
        } else if (key == QLatin1String("BYMONTHDAY") && !sawMonthDay) {
            bool ok = false;
            const int day = value.toInt(&ok);
            if (!ok || (day != -1 && (day < 1 || day > 31)) || value.startsWith(QLatin1Char('+')))
                return RepeatRule();
            rule.m_monthDay = day;
            sawMonthDay = true;
        } else {
            return RepeatRule();
        }
    }
    if ((sawDays && rule.m_frequency != Weekly) || (sawMonthDay && rule.m_frequency != Monthly))
        return RepeatRule();
    return rule;
}

RepeatRule RepeatRule::startingOn(Frequency frequency, int interval, const QDate& firstDue)
{
    RepeatRule rule(frequency, interval);
    if (frequency == Monthly && firstDue.isValid())
        rule.m_monthDay = firstDue.day();
    return rule;
}

void RepeatRule::setWeekdays(const QList<int>& weekdays)
{
    QList<int> days;
    for (int day : weekdays) {
        if (day >= 1 && day <= 7 && !days.contains(day))
            days.append(day);
    }
    std::sort(days.begin(), days.end());
    m_weekdays = days;
}

void RepeatRule::setMonthDay(int day)
{
    m_monthDay = day == -1 || (day >= 1 && day <= 31) ? day : 0;
}

QString RepeatRule::toText() const
{
    if (!isValid())
        return QString();
    QString text = QStringLiteral("FREQ=") + QLatin1String(FrequencyNames[m_frequency]);
    if (m_interval != 1)
        text += QStringLiteral(";INTERVAL=") + QString::number(m_interval);
    if (m_frequency == Weekly && !m_weekdays.isEmpty()) {
        QStringList codes;
        for (int day : m_weekdays)
            codes.append(QLatin1String(DayCodes[day - 1]));
        text += QStringLiteral(";BYDAY=") + codes.join(QLatin1Char(','));
    }
    if (m_frequency == Monthly && m_monthDay != 0)
        text += QStringLiteral(";BYMONTHDAY=") + QString::number(m_monthDay);
    return text;
}

QDate RepeatRule::next(const QDate& after, const QDate& today) const
{
    if (!isValid() || !after.isValid())
        return QDate();
    // Every period is counted from `after`, never from an earlier result, so that a day cut
    // short by one month does not carry over to the following ones.
    const QDate floor = today.isValid() && today > after ? today : after;
    switch (m_frequency) {
    case Daily:
        return after.addDays((after.daysTo(floor) / m_interval + 1) * m_interval);
    case Weekly: {
        const QDate weekStart = after.addDays(1 - after.dayOfWeek());
        const QList<int> days = m_weekdays.isEmpty() ? QList<int>{after.dayOfWeek()} : m_weekdays;
        for (qint64 week = weekStart.daysTo(floor) / 7 / m_interval * m_interval;; week += m_interval) {
            for (int day : days) {
                const QDate candidate = weekStart.addDays(week * 7 + day - 1);
                if (candidate > floor)
                    return candidate;
            }
        }
    }
    case Monthly: {
        const QDate first(after.year(), after.month(), 1);
        int months = (floor.year() - after.year()) * 12 + floor.month() - after.month();
        for (months = months / m_interval * m_interval;; months += m_interval) {
            const QDate month = first.addMonths(months);
            const int day = m_monthDay == 0 ? after.day() : m_monthDay == -1 ? month.daysInMonth() : m_monthDay;
            const QDate candidate = dayInMonth(month, day);
            if (candidate > floor)
                return candidate;
        }
    }
    case Yearly:
        for (int years = (floor.year() - after.year()) / m_interval * m_interval;; years += m_interval) {
            const QDate candidate = dayInMonth(QDate(after.year() + years, after.month(), 1), after.day());
            if (candidate > floor)
                return candidate;
        }
    case None:
        break;
    }
    return QDate();
}

QDateTime RepeatRule::nextDue(const QDateTime& due, const QDate& today) const
{
    const QDate date = due.isValid() ? next(due.date(), today) : next(today, today);
    if (!date.isValid())
        return QDateTime();
    return QDateTime(date, due.isValid() ? due.time() : QTime(0, 0));
}

bool RepeatRule::operator==(const RepeatRule& other) const
{
    return m_frequency == other.m_frequency && m_interval == other.m_interval && m_weekdays == other.m_weekdays
        && m_monthDay == other.m_monthDay;
}
