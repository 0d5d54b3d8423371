#pragma once

#include <QAccessibleWidget>

class FocusGroupListWidget;
class FocusGroupWidget;

/// The group panel as assistive technology sees it: a list of its group rows in display
/// order, the rows' labels and badges folded into the rows' names.
class GroupPanelAccessible : public QAccessibleWidget
{
public:
    explicit GroupPanelAccessible(FocusGroupListWidget* panel);

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    QString text(QAccessible::Text t) const override;

private:
    FocusGroupListWidget* panel() const;
};

/// A row of the group panel: a list item named by its group and the group's counters.
class GroupRowAccessible : public QAccessibleWidget
{
public:
    explicit GroupRowAccessible(FocusGroupWidget* row);

    QAccessibleInterface* parent() const override;
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    FocusGroupWidget* row() const;
    FocusGroupListWidget* panel() const;
};
