#include "ui/repeatdialog.h"

#include "ui/accessibility.h"
#include "ui/repeattext.h"
#include "widgets/colorscheme.h"
#include "widgets/dialogframe.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

RepeatDialog::RepeatDialog(const RepeatRule& rule, const QDate& due, QWidget* parent)
    : LocalizedDialog(parent, dialogWindowFlags())
    , m_due(due.isValid() ? due : QDate::currentDate())
    , m_dayOrder(RepeatText::weekOrder())
{
    setObjectName(QStringLiteral("repeatDialog"));
    _build();
    retranslateUi();
    _show(rule);
}

void RepeatDialog::_build()
{
    const DialogFrame frame = buildDialogFrame(this);
    // Fits what is shown: the weekdays or the day of the month come and go with the unit.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    auto* content = new QVBoxLayout(frame.content);
    content->setContentsMargins(20, 16, 20, 16);
    content->setSpacing(10);

    auto* everyRow = new QHBoxLayout;
    m_everyLabel = new QLabel(frame.content);
    m_interval = new QSpinBox(frame.content);
    m_interval->setObjectName(QStringLiteral("repeatInterval"));
    m_interval->setRange(1, 999);
    m_everyLabel->setBuddy(m_interval);
    m_unit = new QComboBox(frame.content);
    m_unit->setObjectName(QStringLiteral("repeatUnit"));
    for (int i = 0; i < 4; ++i)
        m_unit->addItem(QString());
    everyRow->addWidget(m_everyLabel);
    everyRow->addWidget(m_interval);
    everyRow->addWidget(m_unit);
    everyRow->addStretch(1);
    content->addLayout(everyRow);

    m_weekRow = new QWidget(frame.content);
    auto* weekLayout = new QHBoxLayout(m_weekRow);
    weekLayout->setContentsMargins(0, 0, 0, 0);
    m_onLabel = new QLabel(m_weekRow);
    weekLayout->addWidget(m_onLabel);
    for (int day : std::as_const(m_dayOrder)) {
        auto* box = new QCheckBox(m_weekRow);
        box->setObjectName(QStringLiteral("repeatDay%1").arg(day));
        weekLayout->addWidget(box);
        m_days << box;
        connect(box, &QCheckBox::toggled, this, &RepeatDialog::_update);
    }
    weekLayout->addStretch(1);
    content->addWidget(m_weekRow);

    m_monthRow = new QWidget(frame.content);
    auto* monthLayout = new QHBoxLayout(m_monthRow);
    monthLayout->setContentsMargins(0, 0, 0, 0);
    m_onDay = new QRadioButton(m_monthRow);
    m_onDay->setObjectName(QStringLiteral("repeatOnDay"));
    m_monthDay = new QSpinBox(m_monthRow);
    m_monthDay->setObjectName(QStringLiteral("repeatMonthDay"));
    m_monthDay->setRange(1, 31);
    m_lastDay = new QRadioButton(m_monthRow);
    m_lastDay->setObjectName(QStringLiteral("repeatLastDay"));
    auto* monthGroup = new QButtonGroup(m_monthRow);
    monthGroup->addButton(m_onDay);
    monthGroup->addButton(m_lastDay);
    monthLayout->addWidget(m_onDay);
    monthLayout->addWidget(m_monthDay);
    monthLayout->addSpacing(12);
    monthLayout->addWidget(m_lastDay);
    monthLayout->addStretch(1);
    content->addWidget(m_monthRow);

    m_summary = new QLabel(frame.content);
    m_summary->setObjectName(QStringLiteral("repeatSummary"));
    m_summary->setTextFormat(Qt::PlainText);
    setSchemeColor(m_summary, QPalette::WindowText, ColorScheme::FadedText);
    content->addWidget(m_summary);
    content->addStretch(1);

    frame.buttons->addStretch(1);
    m_okButton = addDialogButton(this, frame.buttons, "okButton", true);
    m_cancelButton = addDialogButton(this, frame.buttons, "cancelButton");
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    connect(m_interval, &QSpinBox::valueChanged, this, &RepeatDialog::_update);
    connect(m_unit, &QComboBox::currentIndexChanged, this, &RepeatDialog::_update);
    connect(m_monthDay, &QSpinBox::valueChanged, this, [this] {
        m_onDay->setChecked(true);
        _update();
    });
    connect(m_onDay, &QRadioButton::toggled, this, &RepeatDialog::_update);
}

void RepeatDialog::_show(const RepeatRule& rule)
{
    const RepeatRule shown = rule.isValid() ? rule : RepeatRule(RepeatRule::Weekly);
    m_interval->setValue(shown.interval());
    m_unit->setCurrentIndex(shown.frequency() - RepeatRule::Daily);
    // What the rule leaves to the due date is shown as the due date's.
    const QList<int> days = shown.weekdays().isEmpty() ? QList<int>{m_due.dayOfWeek()} : shown.weekdays();
    for (int i = 0; i < m_days.size(); ++i)
        m_days[i]->setChecked(days.contains(m_dayOrder[i]));
    const int monthDay = shown.frequency() == RepeatRule::Monthly ? shown.monthDay() : 0;
    m_monthDay->setValue(monthDay > 0 ? monthDay : m_due.day());
    (monthDay == -1 ? m_lastDay : m_onDay)->setChecked(true);
    _update();
}

RepeatRule RepeatDialog::rule() const
{
    RepeatRule rule(RepeatRule::Frequency(RepeatRule::Daily + m_unit->currentIndex()), m_interval->value());
    if (rule.frequency() == RepeatRule::Weekly) {
        QList<int> days;
        for (int i = 0; i < m_days.size(); ++i) {
            if (m_days[i]->isChecked())
                days << m_dayOrder[i];
        }
        rule.setWeekdays(days);
    } else if (rule.frequency() == RepeatRule::Monthly) {
        rule.setMonthDay(m_lastDay->isChecked() ? -1 : m_monthDay->value());
    }
    return rule;
}

void RepeatDialog::_update()
{
    const int n = m_interval->value();
    // The units agree with the number before them.
    m_unit->setItemText(0, n == 1 ? tr("day") : tr("days", "every N days", n));
    m_unit->setItemText(1, n == 1 ? tr("week") : tr("weeks", "every N weeks", n));
    m_unit->setItemText(2, n == 1 ? tr("month") : tr("months", "every N months", n));
    m_unit->setItemText(3, n == 1 ? tr("year") : tr("years", "every N years", n));
    const RepeatRule current = rule();
    m_weekRow->setVisible(current.frequency() == RepeatRule::Weekly);
    m_monthRow->setVisible(current.frequency() == RepeatRule::Monthly);
    // With no weekday ticked the rule follows the due date's weekday, which the words name.
    m_summary->setText(RepeatText::describe(current, m_due));
}

void RepeatDialog::retranslateUi()
{
    setWindowTitle(tr("Repeat"));
    m_everyLabel->setText(tr("Every"));
    m_onLabel->setText(tr("On"));
    const QLocale locale;
    for (int i = 0; i < m_days.size(); ++i) {
        m_days[i]->setText(locale.dayName(m_dayOrder[i], QLocale::ShortFormat));
        m_days[i]->setAccessibleName(RepeatText::weekday(m_dayOrder[i]));
    }
    m_onDay->setText(tr("On day"));
    m_monthDay->setAccessibleName(tr("Day of the month"));
    m_lastDay->setText(tr("On the last day"));
    m_okButton->setText(tr("OK"));
    m_cancelButton->setText(tr("Cancel"));
    nameByLabel(m_interval, m_everyLabel);
    _update();
}
