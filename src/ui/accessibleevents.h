#pragma once

#include <QAccessible>
#include <QList>
#include <QPair>

#include <functional>

class QWidget;

/// The events of a list whose rows are the children of its accessible interface: the rows
/// that joined or left the selection, and the current row as the focused one while the list
/// has the keyboard.
class ListAccessibleEvents
{
public:
    /// `focusedRow` gives the row that has the keyboard, -1 for none (the list is not focused,
    /// or an editor in it is). With `singleSelection` a newly selected row is announced as
    /// the only selected one.
    ListAccessibleEvents(QWidget* list, std::function<int()> focusedRow, bool singleSelection);

    void noteSelected(int index, bool selected);
    /// Sends the noted selection changes and, when another row than last told has the
    /// keyboard, a focus event for it.
    void flush();
    /// The list gained the keyboard: its row is announced after the toolkit has announced
    /// the list itself.
    void focusIn();
    /// The next focus event is sent even for the same row.
    void forgetFocus() { m_focused = 0; }

private:
    QWidget* m_list;
    std::function<int()> m_focusedRow;
    bool m_singleSelection;
    QList<QPair<int, bool>> m_notes;
    bool m_manyNotes = false;
    QAccessible::Id m_focused = 0;
};
