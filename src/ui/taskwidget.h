#pragma once

#include "store/todotask.h"
#include "ui/notestextedit.h"
#include "widgets/datewidget.h"
#include "widgets/elidedlabel.h"
#include "widgets/fancycheckbox.h"
#include "widgets/fancylineedit.h"
#include "widgets/hintededit.h"

#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QWidget>

class QHBoxLayout;
class QStackedLayout;
class RepeatButton;
class RepeatRule;
class TaskListWidget;

/// One row of the task list: a check box, the name, marks for notes and repeating, and the due
/// date, or, while open, an editor for name, notes, due date and repeat rule that writes every
/// change to the store at once.
class TaskWidget : public QWidget
{
    Q_OBJECT
public:
    using NameEdit = HintedEditT<FancyLineEdit>;

    TaskWidget(const TodoTask::Id& taskId, TaskListWidget* list, QWidget* parent = nullptr);

    const TodoTask::Id& taskId() const { return m_taskId; }
    /// Shows another task (or the same one afresh from the store): closed, unselected.
    void bind(const TodoTask::Id& taskId);
    const TodoTask& task() const { return m_task; }

    void setSelected(bool selected);
    bool isSelected() const { return m_flags & SelectedFlag; }
    bool isEditing() const { return m_flags & EditingFlag; }
    /// Marks the row as the keyboard's current one while the list has the focus.
    void setFocusMarked(bool marked);
    bool createdByNew() const { return m_createdByNew; }
    void setCreatedByNew(bool on) { m_createdByNew = on; }

    void setEditMode(bool editing, bool force = false, bool keepFocus = false);
    /// Marks the task completed or open; completing closes the editor.
    void applyCompleted(bool done);
    /// Completes or reopens the task and shows it in the check box, as a click on it would.
    void setCompleted(bool done);
    void refreshLabel();

    /// The name of the group the task is in, shown at the right of the closed row (found
    /// tasks); empty for none.
    void setGroupName(const QString& name);
    QLabel* groupLabel() const { return m_groupLabel; }

    /// The fill of the closed row: by selection, completion and due date.
    QColor backgroundColor() const;

    /// What a closed row says of a due date, in the interface language: "Today", "Tomorrow", the
    /// weekday for the rest of the coming week, otherwise the date in the user's date format.
    /// Empty without a date and for a completed task, whose date no longer presses.
    static QString dueText(const QDateTime& due, bool completed, const QDate& today);
    /// The day rows take as today, for tests; null for the system's date.
    static void setClock(QDate (*today)());

    // The parts of the row, for the list and for tests; null while not shown.
    ElidedLabel* label() const { return m_label; }
    /// The due date at the right end of the closed row; hidden when dueText is empty, null until
    /// the row first shows a date.
    QLabel* dueLabel() const { return m_dueLabel; }
    /// The mark of a task with notes, beside the due date; hidden for a task without, null until
    /// the row first shows notes.
    QLabel* notesMark() const { return m_notesMark; }
    /// The mark of a repeating task, after the notes mark; hidden for a task that does not
    /// repeat, null until the row first shows a repeating task.
    QLabel* repeatMark() const { return m_repeatMark; }
    TaskCheckbox* viewCheckbox() const { return m_viewCheckbox; }
    TaskCheckbox* editCheckbox() const { return m_editCheckbox; }
    NameEdit* nameEdit() const { return m_nameEdit; }
    NotesTextEdit* notesEdit() const { return m_notesEdit; }
    DateWidget* dateWidget() const { return m_dateWidget; }
    RepeatButton* repeatButton() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private Q_SLOTS:
    void _stopEditing();
    void _nameTextChanged(const QString& text);
    void _notesTextChanged();
    void _fitHeight();
    // The key that joins this row's edits into one step of the undo history.
    QString _editKey() const;
    void _checkboxChanged(int state);
    void _dueDateChanged(const QDateTime& due);
    void _someEditGotFocus(bool got);

private:
    enum Flags : unsigned { SelectedFlag = 1, EditingFlag = 2, FocusFlag = 4 };

    void _buildViewFace();
    void _buildEditorFace();
    QHBoxLayout* _viewLayout() const;
    void _addNotesMark();
    void _addRepeatMark();
    void _repeatChosen(const RepeatRule& rule);
    void _addDueLabel();
    void _refreshName();
    void _refreshDetails(const QDate& today);
    QColor _backgroundColor(const QDate& today) const;

    TodoTask::Id m_taskId;
    TodoTask m_task;
    QPointer<TaskListWidget> m_list;
    unsigned m_flags = 0;
    bool m_inCheckboxChange = false;
    bool m_createdByNew = false;
    QStackedLayout* m_stack = nullptr;
    QPointer<TaskCheckbox> m_viewCheckbox;
    QPointer<ElidedLabel> m_label;
    QPointer<QLabel> m_groupLabel;
    QPointer<QLabel> m_notesMark;
    QPointer<QLabel> m_repeatMark;
    // The rule the repeat mark was worded for, with the due date it names.
    QString m_shownRule;
    QDate m_shownRuleDue;
    QPointer<QLabel> m_dueLabel;
    // What the due label was made from: it is made again only when one of them changes.
    QDate m_shownDue;
    QDate m_shownToday;
    bool m_shownCompleted = false;
    bool m_shownOverdue = false;
    // The colour the due label was given: 0 plain, 1 overdue, -1 none yet or a palette since.
    int m_dueColour = -1;
    QPointer<QWidget> m_editorPage;
    QPointer<QGridLayout> m_grid;
    QPointer<TaskCheckbox> m_editCheckbox;
    QPointer<NameEdit> m_nameEdit;
    QPointer<NotesTextEdit> m_notesEdit;
    QPointer<DateWidget> m_dateWidget;
    QPointer<RepeatButton> m_repeatButton;
};
