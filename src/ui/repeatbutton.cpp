#include "ui/repeatbutton.h"

#include "ui/repeatdialog.h"
#include "ui/repeaticon.h"
#include "ui/repeattext.h"
#include "widgets/colorscheme.h"

#include <QActionGroup>
#include <QKeyEvent>
#include <QMenu>

namespace {

struct Choice
{
    const char* name;
    QString text;
    RepeatRule rule;
};

RepeatRule weeklyOn(const QList<int>& days)
{
    RepeatRule rule(RepeatRule::Weekly);
    rule.setWeekdays(days);
    return rule;
}

RepeatRule monthlyOn(int day)
{
    RepeatRule rule(RepeatRule::Monthly);
    rule.setMonthDay(day);
    return rule;
}

} // namespace

RepeatButton::RepeatButton(QWidget* parent)
    : FancyToolBtn(parent)
{
    setObjectName(QStringLiteral("repeatButton"));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setFocusPolicy(Qt::StrongFocus);
    followScheme(this, [this] { setIcon(repeatIcon()); });
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("repeatMenu"));
    // Worded after the due date as it is when the menu opens.
    connect(m_menu, &QMenu::aboutToShow, this, &RepeatButton::_fillMenu);
    m_choices = new QActionGroup(m_menu);
    setMenu(m_menu);
    setPopupMode(QToolButton::InstantPopup);
    _retranslate();
}

RepeatDialog* RepeatButton::customDialog() const
{
    return m_dialog;
}

void RepeatButton::setRule(const RepeatRule& rule)
{
    m_rule = rule;
    _retranslate();
}

void RepeatButton::setDueDate(const QDate& due, const QDate& today)
{
    m_due = due;
    m_today = today;
    _retranslate();
}

QDate RepeatButton::_start() const
{
    if (m_due.isValid())
        return m_due;
    return m_today.isValid() ? m_today : QDate::currentDate();
}

void RepeatButton::_fillMenu()
{
    m_menu->clear();
    const QDate start = _start();
    QList<Choice> choices{
        {"repeatNever", tr("Does not repeat"), RepeatRule()},
        {"repeatDaily", tr("Daily"), RepeatRule(RepeatRule::Daily)},
        {"repeatWeekly", tr("Weekly on %1").arg(RepeatText::weekday(start.dayOfWeek())),
         weeklyOn({start.dayOfWeek()})},
        {"repeatWeekdays", tr("Weekdays (%1 to %2)").arg(RepeatText::weekday(1), RepeatText::weekday(5)),
         weeklyOn({1, 2, 3, 4, 5})},
        {"repeatMonthly", tr("Monthly on day %1").arg(start.day()), monthlyOn(start.day())},
    };
    if (start.day() == start.daysInMonth())
        choices.append({"repeatMonthlyLast", tr("Monthly on the last day"), monthlyOn(-1)});
    choices.append({"repeatYearly", tr("Yearly on %1").arg(RepeatText::dayAndMonth(start)),
                    RepeatRule(RepeatRule::Yearly)});
    // A rule none of these is: made in the dialog, or on another device.
    bool known = false;
    for (const Choice& choice : std::as_const(choices))
        known = known || choice.rule == m_rule;
    if (!known)
        choices.append({"repeatCurrent", RepeatText::describe(m_rule, m_due), m_rule});

    for (const Choice& choice : std::as_const(choices)) {
        QAction* action = m_menu->addAction(choice.text);
        action->setObjectName(QLatin1String(choice.name));
        action->setCheckable(true);
        action->setChecked(choice.rule == m_rule);
        action->setActionGroup(m_choices);
        const RepeatRule rule = choice.rule;
        connect(action, &QAction::triggered, this, [this, rule] { Q_EMIT ruleChosen(rule); });
    }
    m_menu->addSeparator();
    QAction* custom = m_menu->addAction(tr("Custom…"));
    custom->setObjectName(QStringLiteral("repeatCustom"));
    // Opened once the menu has closed, so that it takes the focus from the row.
    connect(custom, &QAction::triggered, this, &RepeatButton::_openCustomDialog, Qt::QueuedConnection);
}

void RepeatButton::_openCustomDialog()
{
    if (m_dialog)
        return;
    m_dialog = new RepeatDialog(m_rule, _start(), this);
    m_dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_dialog, &QDialog::accepted, this, [this] {
        if (m_dialog)
            Q_EMIT ruleChosen(m_dialog->rule());
    });
    m_dialog->open();
}

void RepeatButton::keyPressEvent(QKeyEvent* event)
{
    // A tool button answers Space only; Return opens the menu too, as it would a push button.
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && plain) {
        showMenu();
        return;
    }
    FancyToolBtn::keyPressEvent(event);
}

void RepeatButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        _retranslate();
    FancyToolBtn::changeEvent(event);
}

void RepeatButton::_retranslate()
{
    const QString text = RepeatText::summary(m_rule, m_due);
    setToolTip(text);
    setAccessibleName(text);
}
