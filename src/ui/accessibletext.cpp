#include "ui/accessibletext.h"

#include "store/repeatrule.h"
#include "store/todotask.h"
#include "ui/repeattext.h"
#include "widgets/datewidget.h"

#include <QLocale>
#include <QStringList>

namespace {

QString shortDate(const QDate& date)
{
    // The system's order of day and month, the interface language's names.
    return QLocale().toString(date, DateWidget::displayFormat());
}

QString oneLine(const QString& text)
{
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return line.trimmed();
}

} // namespace

QString AccessibleText::due(const QDateTime& due, const QDate& today, bool completed)
{
    if (!due.isValid())
        return QString();
    const QDate date = due.date();
    const qint64 days = today.daysTo(date);
    if (days < 0)
        return completed ? tr("due %1", "a date").arg(shortDate(date)) : tr("overdue since %1").arg(shortDate(date));
    if (days == 0)
        return tr("due today");
    if (days == 1)
        return tr("due tomorrow");
    // Within a week the weekday is unambiguous; a week ahead it would name today's.
    if (days < 7)
        return tr("due %1", "a weekday").arg(QLocale().dayName(date.dayOfWeek(), QLocale::LongFormat));
    return tr("due %1", "a date").arg(shortDate(date));
}

QString AccessibleText::taskName(const TodoTask& task, const QDate& today, const QString& groupName)
{
    QStringList parts;
    const QString name = oneLine(task.name());
    parts << (name.isEmpty() ? tr("Unnamed task") : name);
    const QString dueText = due(task.due(), today, task.completed());
    if (!dueText.isEmpty())
        parts << dueText;
    if (!task.repeatRule().isEmpty()) {
        const QString repeat = RepeatText::phrase(RepeatRule::parse(task.repeatRule()), task.due().date());
        if (!repeat.isEmpty())
            parts << tr("repeats %1", "how a task repeats").arg(repeat);
    }
    if (!task.notes().trimmed().isEmpty())
        parts << tr("has notes");
    if (!groupName.isEmpty())
        parts << tr("in %1", "the group a found task is in").arg(oneLine(groupName));
    return parts.join(QStringLiteral(", "));
}

QString AccessibleText::taskDescription(const TodoTask& task)
{
    return task.completed() ? tr("completed") : QString();
}

QString AccessibleText::groupPanel()
{
    return tr("Groups");
}

QString AccessibleText::foundTasks()
{
    return tr("Found tasks");
}

QString AccessibleText::completedCheckBox()
{
    return tr("Completed", "the check box of a task");
}

QString AccessibleText::groupName(const QString& name, int dueNow, int dueSoon, int other)
{
    QStringList parts{oneLine(name)};
    if (dueNow > 0)
        parts << tr("%n due today or overdue", nullptr, dueNow);
    if (dueSoon > 0)
        parts << tr("%n due in the next three days", nullptr, dueSoon);
    if (other > 0)
        parts << tr("%n due later or undated", nullptr, other);
    return parts.join(QStringLiteral(", "));
}

QString AccessibleText::viewName(const QString& name, int tasks)
{
    if (tasks <= 0)
        return oneLine(name);
    // English has no message file: its singular is a text of its own.
    const QString count = tasks == 1 ? tr("%n task", nullptr, tasks) : tr("%n tasks", nullptr, tasks);
    return oneLine(name) + QStringLiteral(", ") + count;
}
