#pragma once

#include "store/repeatrule.h"
#include "widgets/fancytoolbtn.h"

#include <QDate>
#include <QPointer>

class QActionGroup;
class QMenu;
class RepeatDialog;

/// The open row's repeat button: a menu of the usual ways to repeat, worded after the due
/// date, and "Custom…" for a dialog with every choice. The current rule is checked in the menu
/// and named in the button's tooltip and accessible name. Space or Return opens the menu as a
/// click does.
class RepeatButton : public FancyToolBtn
{
    Q_OBJECT
public:
    explicit RepeatButton(QWidget* parent = nullptr);

    RepeatRule rule() const { return m_rule; }
    void setRule(const RepeatRule& rule);
    /// The days the menu words its choices after: the due date, or without one `today`, which
    /// a choice then makes the due date.
    void setDueDate(const QDate& due, const QDate& today);

    QMenu* repeatMenu() const { return m_menu; }
    /// The dialog "Custom…" opened, while it is open.
    RepeatDialog* customDialog() const;

Q_SIGNALS:
    /// A rule was chosen in the menu or the dialog; an invalid one for "Does not repeat".
    void ruleChosen(const RepeatRule& rule);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void _fillMenu();
    void _openCustomDialog();
    void _retranslate();
    QDate _start() const;

    RepeatRule m_rule;
    QDate m_due;
    QDate m_today;
    QMenu* m_menu = nullptr;
    // The choices of the menu, one of them checked; "Custom…" stands apart.
    QActionGroup* m_choices = nullptr;
    QPointer<RepeatDialog> m_dialog;
};
