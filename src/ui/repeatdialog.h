#pragma once

#include "store/repeatrule.h"
#include "widgets/localizeddialog.h"

#include <QDate>
#include <QList>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QWidget;

/// Sets any rule a task can repeat by: every N days, weeks, months or years; for weeks the
/// weekdays, for months the day of the month or its last day. The words under the choices say
/// the rule as the task's row will. The caller reads rule() once the dialog was accepted.
class RepeatDialog : public LocalizedDialog
{
    Q_OBJECT
public:
    /// Shows `rule`, or a weekly rule when it does not repeat; `due` fills in what the rule
    /// takes from the due date.
    RepeatDialog(const RepeatRule& rule, const QDate& due, QWidget* parent = nullptr);

    RepeatRule rule() const;

    QSpinBox* intervalBox() const { return m_interval; }
    QComboBox* unitBox() const { return m_unit; }
    /// The weekday boxes in the order the user's week runs.
    const QList<QCheckBox*>& weekdayBoxes() const { return m_days; }
    QRadioButton* onDayButton() const { return m_onDay; }
    QSpinBox* monthDayBox() const { return m_monthDay; }
    QRadioButton* lastDayButton() const { return m_lastDay; }
    QLabel* summaryLabel() const { return m_summary; }

    void retranslateUi() override;

private:
    void _build();
    void _show(const RepeatRule& rule);
    void _update();

    QDate m_due;
    QList<int> m_dayOrder;
    QLabel* m_everyLabel = nullptr;
    QSpinBox* m_interval = nullptr;
    QComboBox* m_unit = nullptr;
    QWidget* m_weekRow = nullptr;
    QLabel* m_onLabel = nullptr;
    QList<QCheckBox*> m_days;
    QWidget* m_monthRow = nullptr;
    QRadioButton* m_onDay = nullptr;
    QSpinBox* m_monthDay = nullptr;
    QRadioButton* m_lastDay = nullptr;
    QLabel* m_summary = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
