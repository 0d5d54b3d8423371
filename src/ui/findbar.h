#pragma once

#include "store/taskfinder.h"

#include <QPointer>
#include <QWidget>

class FancyLineEdit;
class QTimer;
class TaskListWidget;

/// The one-line find field above the task list. While it shows and holds text, the list shows
/// the tasks found in every group but the Trash, updated as the user types and as the store
/// changes; Return opens the first one, Escape (or an empty field) brings back the group that
/// was shown, with its selection.
class FindBar : public QWidget
{
    Q_OBJECT
public:
    FindBar(TaskListWidget* list, QWidget* parent = nullptr);

    /// Shows the field with the focus in it (its text selected when it had some).
    void open();
    /// Hides the field; with `restore` the list shows the group it showed before.
    void close(bool restore);
    bool isOpen() const { return isVisible() || m_finding; }
    FancyLineEdit* edit() const { return m_edit; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void _onTextChanged(const QString& text);
    void _findAgain();
    void _restoreGroup();
    void _retranslate();

    QPointer<TaskListWidget> m_list;
    FancyLineEdit* m_edit = nullptr;
    TaskFinder* m_finder = nullptr;
    QTimer* m_storeChanges = nullptr;
    bool m_finding = false;
    FocusGroup::Id m_shownGroup;
    QList<TodoTask::Id> m_shownSelection;
    TodoTask::Id m_shownCurrent;
};
