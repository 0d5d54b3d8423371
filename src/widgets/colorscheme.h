#pragma once

class QEvent;
class QPainter;
class QRectF;
class QWidget;

#include <QColor>
#include <QPalette>

#include <functional>

/// The colours every view paints with. One process-wide object. The colours follow the
/// application palette: the designed light colours under a light palette, a dark variant of each
/// under a palette whose window colour is dark.
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
        ListBackground = 6,    ///< task list, find bar, scroll-bar track
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
        RowText = 19,          ///< name of an open task
        FadedText = 20,        ///< completed or unnamed task, group of a found task
        EditText = 21,         ///< what is typed into the edit fields
        HintText = 22,         ///< hint of an empty edit field
        DialogBackground = 23,
        DialogText = 24,
        Separator = 25,        ///< line above a dialog's buttons
        TextShadow = 26,       ///< under the numbers of counters and calendar
        ToolButtonHover = 27,
        HighlightOutline = 28, ///< outline of a highlighted group row
        HintCardText = 29,
        Link = 30,             ///< link in a hint card
        RoleCount = 31
    };

    static ColorScheme* instance();
    static void destroy();

    QColor color(Role role) const;
    /// Whether the dark variant is in use.
    bool isDark() const;

    /// A palette is dark when its window colour is.
    static bool isDarkPalette(const QPalette& palette);
    /// A dark desktop theme as users run it: what the contrast checks and the picture gallery
    /// render the windows under.
    static QPalette typicalDarkPalette();
    /// The events after which colours taken from the scheme must be taken again.
    static bool isPaletteChange(const QEvent* event);

private:
    ColorScheme() = default;
    void _update() const;

    mutable qint64 m_paletteKey = -1;
    mutable bool m_dark = false;
    mutable QColor m_colors[RoleCount];
};

/// Shorthand for ColorScheme::instance()->color(role).
QColor schemeColor(ColorScheme::Role role);

/// Runs `apply` now and again after every palette change that reaches `widget`, for as long as
/// the widget lives: for colours a widget keeps rather than takes from the scheme when painting.
void followScheme(QWidget* widget, std::function<void()> apply);

/// Gives a colour role of `widget`'s palette the scheme's colour, now and after every palette
/// change.
void setSchemeColor(QWidget* widget, QPalette::ColorRole colorRole, ColorScheme::Role role,
                    QPalette::ColorGroup group = QPalette::All);

/// Sets a colour in a widget's palette; nothing when it is there already, as a new palette
/// reaches every child and asks for a new layout.
void setPaletteColor(QWidget* widget, QPalette::ColorRole colorRole, const QColor& color,
                     QPalette::ColorGroup group = QPalette::All);

/// The mark of the control that has the keyboard focus: a rounded outline in the accent colour
/// just inside `rect`.
void drawFocusMark(QPainter& painter, const QRectF& rect, qreal radius);
