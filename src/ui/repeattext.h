#pragma once

#include <QCoreApplication>
#include <QDate>
#include <QList>
#include <QString>

class RepeatRule;

/// How a repeat rule reads, in the interface language. Every control and mark that shows a
/// task's rule takes its words from here.
class RepeatText
{
    Q_DECLARE_TR_FUNCTIONS(RepeatText)
public:
    /// The rule as it reads inside a sentence: "every 2 weeks on Monday, Thursday". With `due`,
    /// what the rule takes from the due date is named too ("every year on 14 March"). Empty for
    /// a rule that does not repeat.
    static QString phrase(const RepeatRule& rule, const QDate& due = QDate());
    /// The rule standing alone: "Every 2 weeks on Monday, Thursday", "Does not repeat".
    static QString describe(const RepeatRule& rule, const QDate& due = QDate());
    /// The tooltip and accessible name of what shows a rule: "Repeats: every week on Monday",
    /// "Does not repeat".
    static QString summary(const RepeatRule& rule, const QDate& due = QDate());

    /// A weekday (1 Monday ... 7 Sunday) by its full name.
    static QString weekday(int day);
    /// The day and month of `date` without the year: "14 March".
    static QString dayAndMonth(const QDate& date);
    /// The weekdays 1 to 7 in the order the user's week runs, from the locale's first day.
    static QList<int> weekOrder();
};
