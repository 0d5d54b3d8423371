#include "ui/accessibleevents.h"

#include "widgets/accessiblenotifier.h"

#include <QTimer>
#include <QWidget>

namespace {

/// More selection changes at once (Ctrl+A in a long list) are told as one.
constexpr int MaxNotes = 16;

} // namespace

ListAccessibleEvents::ListAccessibleEvents(QWidget* list, std::function<int()> focusedRow, bool singleSelection)
    : m_list(list)
    , m_focusedRow(std::move(focusedRow))
    , m_singleSelection(singleSelection)
{
}

void ListAccessibleEvents::noteSelected(int index, bool selected)
{
    if (m_manyNotes || !AccessibleNotifier::isListening())
        return;
    if (m_notes.size() >= MaxNotes) {
        m_notes.clear();
        m_manyNotes = true;
        return;
    }
    m_notes.append({index, selected});
}

void ListAccessibleEvents::flush()
{
    const QList<QPair<int, bool>> notes = m_notes;
    const bool many = m_manyNotes;
    m_notes.clear();
    m_manyNotes = false;
    if (!AccessibleNotifier::isListening())
        return;
    if (many) {
        QAccessibleEvent event(m_list, QAccessible::SelectionWithin);
        AccessibleNotifier::notify(&event);
    }
    // Rows that left the selection first, so that a lone new one is the only one selected.
    for (bool selected : {false, true}) {
        for (const auto& note : notes) {
            if (note.second != selected)
                continue;
            QAccessibleEvent event(m_list, !selected           ? QAccessible::SelectionRemove
                                               : m_singleSelection ? QAccessible::Selection
                                                                   : QAccessible::SelectionAdd);
            event.setChild(note.first);
            AccessibleNotifier::notify(&event);
        }
    }
    const int current = m_focusedRow();
    if (current < 0) {
        m_focused = 0;
        return;
    }
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(m_list);
    QAccessibleInterface* row = list ? list->child(current) : nullptr;
    if (!row)
        return;
    const QAccessible::Id id = QAccessible::uniqueId(row);
    if (id == m_focused)
        return;
    m_focused = id;
    QAccessibleEvent event(m_list, QAccessible::Focus);
    event.setChild(current);
    AccessibleNotifier::notify(&event);
}

void ListAccessibleEvents::focusIn()
{
    m_focused = 0;
    if (!AccessibleNotifier::isListening())
        return;
    // The toolkit announces the list itself after the list's focus-in handler.
    QTimer::singleShot(0, m_list, [this] { flush(); });
}
