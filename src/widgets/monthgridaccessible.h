#pragma once

#include <QAccessibleWidget>
#include <QDate>
#include <QHash>

class MyCalendarMonthWidget;

/// The day grid as assistive technology sees it: a table of the shown month's week rows and
/// seven weekday columns, headed by the weekdays' full names. Each cell is named by its full
/// date in the interface language; the chosen day is selected (and focused while the grid is
/// on show, as the keyboard is on it), today says so in its description, and the cells of the
/// empty places before the first and after the last day have no name.
class MonthGridAccessible : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit MonthGridAccessible(MyCalendarMonthWidget* grid);
    ~MonthGridAccessible() override;

    /// The accessibility factory for MyCalendarMonthWidget.
    static QAccessibleInterface* create(const QString& className, QObject* object);

    void* interface_cast(QAccessible::InterfaceType type) override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int) const override { return QString(); }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    MyCalendarMonthWidget* _grid() const;
    void _followMonth() const;

    // The headers are children 0 to 6, then come the cells row by row. A child stands for one
    // place of one month: when another month shows, the children are made afresh.
    mutable QHash<int, QAccessible::Id> m_children;
    mutable QDate m_month;
};
