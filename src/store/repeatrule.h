#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

/// How a task repeats: the subset of iCalendar RRULE that Mirevo follows. FREQ (DAILY, WEEKLY,
/// MONTHLY, YEARLY), INTERVAL, for weekly rules a BYDAY list of weekdays, for monthly rules a
/// BYMONTHDAY of 1 to 31 or -1 (the last day). Any other text is an invalid rule: the task keeps
/// the text, so sync carries it unchanged, but it does not repeat here.
class RepeatRule
{
public:
    enum Frequency { None, Daily, Weekly, Monthly, Yearly };

    RepeatRule() = default;
    RepeatRule(Frequency frequency, int interval = 1);

    /// The rule of an RRULE value ("FREQ=WEEKLY;BYDAY=MO,TH"); invalid for anything outside the
    /// subset.
    static RepeatRule parse(const QString& text);
    /// The rule a user means by "every `interval` periods" from `firstDue`: a monthly rule keeps
    /// the first due date's day, so a short month does not move the later ones.
    static RepeatRule startingOn(Frequency frequency, int interval, const QDate& firstDue);

    bool isValid() const { return m_frequency != None; }
    Frequency frequency() const { return m_frequency; }
    int interval() const { return m_interval; }
    /// Weekdays of a weekly rule (1 Monday ... 7 Sunday), ascending; empty: the due date's.
    const QList<int>& weekdays() const { return m_weekdays; }
    void setWeekdays(const QList<int>& weekdays);
    /// Day of a monthly rule: 1..31, -1 for the last day, 0 for the due date's.
    int monthDay() const { return m_monthDay; }
    void setMonthDay(int day);

    /// The RRULE value: FREQ, then INTERVAL (left out when 1), then BYDAY or BYMONTHDAY.
    /// Empty for an invalid rule.
    QString toText() const;

    /// The occurrence after the one due on `after`: the first one later than `after` and later
    /// than `today` (a task overdue for several periods skips the ones already past). A day the
    /// month does not have becomes its last day (31 -> 30 April, 29 February -> 28 February).
    /// Without BYMONTHDAY the day is `after`'s, so a yearly task due on 29 February stays on
    /// the 28th from then on (keeping the 29th would need BYMONTH, which Mirevo does not follow).
    /// Invalid for an invalid rule or date.
    QDate next(const QDate& after, const QDate& today) const;
    /// The due time of the occurrence after one due at `due`: next() of its date at the same
    /// wall-clock time in local time, whatever the offset does meanwhile. Without `due`, the
    /// first occurrence after today, as a date (local midnight).
    QDateTime nextDue(const QDateTime& due, const QDate& today) const;

    bool operator==(const RepeatRule& other) const;
    bool operator!=(const RepeatRule& other) const { return !(*this == other); }

private:
    Frequency m_frequency = None;
    int m_interval = 1;
    QList<int> m_weekdays;
    int m_monthDay = 0;
};
