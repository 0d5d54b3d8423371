#pragma once

class QPainter;
class QRectF;

#include <QColor>

/// The colours every view paints with. One process-wide object.
class ColorScheme
{
public:
    enum Role {
        Accent = 0,            ///< hovered scroll-bar handle, drop markers
        Outline = 1,           ///< toolbar line, splitter handle, open row, scroll-bar handle, hint card
        DueNow = 2,            ///< due today or overdue
        Highlight = 3,         ///< highlighted group row
        DueLater = 4,          ///< counter of tasks due later
        DueSoon = 5,           ///< due in the next days
        ListBackground = 6,
        OpenRow = 7,
        EditBase = 8,          ///< edit fields and the open row's interior
        SelectedRow = 9,       ///< selected task row, calendar popup
        CompletedRow = 10,
        Panel = 11,            ///< group panel, hovered group row, hint card, calendar day
        SelectedGroupRow = 12,
        Text = 13,             ///< group names, calendar and counter text base
        GroupRowOutline = 14,
        GroupRowDropOutline = 15,
        GroupRowHighlight = 16,
        ToolbarBackground = 17,
        ToolButtonText = 18,
        RoleCount = 19
    };

    static ColorScheme* instance();
    static void destroy();

    QColor color(Role role) const;

private:
    ColorScheme();
    QColor m_colors[RoleCount];
};

/// Shorthand for ColorScheme::instance()->color(role).
QColor schemeColor(ColorScheme::Role role);

/// The mark of the control that has the keyboard focus: a rounded outline in the accent colour
/// just inside `rect`.
void drawFocusMark(QPainter& painter, const QRectF& rect, qreal radius);
