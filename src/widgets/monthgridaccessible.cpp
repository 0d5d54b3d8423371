#include "widgets/monthgridaccessible.h"

#include "widgets/mycalendarmonthwidget.h"

#include <QLocale>
#include <QPointer>
#include <QWidget>

#include <utility>

namespace {

constexpr int Columns = 7;

/// One child of the grid's table: a weekday header or a day cell, at a fixed index.
class GridPart : public QAccessibleInterface
{
public:
    GridPart(MyCalendarMonthWidget* grid, int index)
        : m_grid(grid)
        , m_month(grid->shownMonth())
        , m_index(index)
    {
    }

    const MyCalendarMonthWidget* grid() const { return m_grid; }
    int index() const { return m_index; }

    bool isValid() const override { return m_grid && m_grid->shownMonth() == m_month; }
    // No object of its own: the toolkit then finds the part by its id, not as its object.
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_grid ? m_grid->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_grid); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override
    {
        if (!m_grid)
            return QRect();
        const QRect local = localRect();
        return QRect(m_grid->mapToGlobal(local.topLeft()), local.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invisible = !m_grid || !m_grid->isVisible();
        return state;
    }

protected:
    virtual QRect localRect() const = 0;

    QPointer<MyCalendarMonthWidget> m_grid;
    const QDate m_month;
    const int m_index;
};

class WeekdayHeader : public GridPart
{
public:
    WeekdayHeader(MyCalendarMonthWidget* grid, int column)
        : GridPart(grid, column)
    {
    }

    QAccessible::Role role() const override { return QAccessible::ColumnHeader; }

    QString text(QAccessible::Text type) const override
    {
        return type == QAccessible::Name ? QLocale().dayName(m_index + 1, QLocale::LongFormat) : QString();
    }

protected:
    QRect localRect() const override { return m_grid ? m_grid->headerRect(m_index) : QRect(); }
};

class DayCell : public GridPart, public QAccessibleTableCellInterface
{
public:
    DayCell(MyCalendarMonthWidget* grid, int row, int column)
        : GridPart(grid, Columns + row * Columns + column)
        , m_row(row)
        , m_column(column)
        , m_day(grid->dayAt(row, column))
    {
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this) : nullptr;
    }

    QAccessible::Role role() const override { return QAccessible::Cell; }

    QString text(QAccessible::Text type) const override
    {
        if (!m_day.isValid())
            return QString();
        if (type == QAccessible::Name)
            return QLocale().toString(m_day, QLocale::LongFormat);
        if (type == QAccessible::Description && m_day == QDate::currentDate())
            return MyCalendarMonthWidget::tr("Today");
        return QString();
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = GridPart::state();
        if (!m_day.isValid())
            return state;
        state.selectable = true;
        state.focusable = true;
        state.selected = isSelected();
        state.focused = state.selected && !state.invisible;
        return state;
    }

    bool isSelected() const override { return m_grid && m_day.isValid() && m_day == m_grid->date(); }

    QList<QAccessibleInterface*> columnHeaderCells() const override
    {
        QAccessibleInterface* table = parent();
        QAccessibleInterface* header = table ? table->child(m_column) : nullptr;
        return header ? QList<QAccessibleInterface*>{header} : QList<QAccessibleInterface*>();
    }

    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_column; }
    int rowIndex() const override { return m_row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

protected:
    QRect localRect() const override { return m_grid ? m_grid->cellRect(m_row, m_column) : QRect(); }

private:
    const int m_row;
    const int m_column;
    const QDate m_day;
};

} // namespace

MonthGridAccessible::MonthGridAccessible(MyCalendarMonthWidget* grid)
    : QAccessibleWidget(grid, QAccessible::Table)
    , m_month(grid->shownMonth())
{
}

MonthGridAccessible::~MonthGridAccessible()
{
    for (const QAccessible::Id id : std::as_const(m_children))
        QAccessible::deleteAccessibleInterface(id);
}

QAccessibleInterface* MonthGridAccessible::create(const QString& className, QObject* object)
{
    auto* grid = qobject_cast<MyCalendarMonthWidget*>(object);
    if (grid && className == QLatin1String("MyCalendarMonthWidget"))
        return new MonthGridAccessible(grid);
    return nullptr;
}

MyCalendarMonthWidget* MonthGridAccessible::_grid() const
{
    return static_cast<MyCalendarMonthWidget*>(widget());
}

void MonthGridAccessible::_followMonth() const
{
    const QDate month = _grid()->shownMonth();
    if (month == m_month)
        return;
    for (const QAccessible::Id id : std::as_const(m_children))
        QAccessible::deleteAccessibleInterface(id);
    m_children.clear();
    m_month = month;
}

void* MonthGridAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

int MonthGridAccessible::columnCount() const
{
    return Columns;
}

int MonthGridAccessible::rowCount() const
{
    return _grid()->weekRows();
}

int MonthGridAccessible::childCount() const
{
    return Columns + rowCount() * Columns;
}

QAccessibleInterface* MonthGridAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    _followMonth();
    if (const QAccessible::Id id = m_children.value(index))
        return QAccessible::accessibleInterface(id);
    QAccessibleInterface* part = nullptr;
    if (index < Columns)
        part = new WeekdayHeader(_grid(), index);
    else
        part = new DayCell(_grid(), (index - Columns) / Columns, (index - Columns) % Columns);
    m_children.insert(index, QAccessible::registerAccessibleInterface(part));
    return part;
}

int MonthGridAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    const auto* part = dynamic_cast<const GridPart*>(child);
    return part && part->grid() == _grid() && part->isValid() ? part->index() : -1;
}

QAccessibleInterface* MonthGridAccessible::childAt(int x, int y) const
{
    const QPoint point = _grid()->mapFromGlobal(QPoint(x, y));
    for (int column = 0; column < Columns; ++column) {
        if (_grid()->headerRect(column).contains(point))
            return child(column);
        for (int row = 0; row < rowCount(); ++row) {
            if (_grid()->cellRect(row, column).contains(point))
                return cellAt(row, column);
        }
    }
    return nullptr;
}

QAccessibleInterface* MonthGridAccessible::cellAt(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= Columns)
        return nullptr;
    return child(Columns + row * Columns + column);
}

int MonthGridAccessible::selectedCellCount() const
{
    return static_cast<int>(selectedCells().size());
}

QList<QAccessibleInterface*> MonthGridAccessible::selectedCells() const
{
    const QDate chosen = _grid()->date();
    if (!chosen.isValid())
        return {};
    return {cellAt(_grid()->weekRowOf(chosen), chosen.dayOfWeek() - 1)};
}

QString MonthGridAccessible::columnDescription(int column) const
{
    return column >= 0 && column < Columns ? QLocale().dayName(column + 1, QLocale::LongFormat) : QString();
}
