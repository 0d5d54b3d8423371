#include "support/testenv.h"
#include "support/uitestkit.h"

#include "core/taskcore.h"
#include "settings/appsettings.h"
#include "store/taskstorage.h"
#include "ui/countwidget.h"
#include "ui/editgroupdialog.h"
#include "ui/findbar.h"
#include "ui/focusgrouplistwidget.h"
#include "ui/focusgroupwidget.h"
#include "ui/grouphintwidget.h"
#include "ui/mainwindow.h"
#include "ui/selecticonwidget.h"
#include "ui/tasklistwidget.h"
#include "ui/taskwidget.h"
#include "ui/toolbar.h"
#include "widgets/calendarpopup.h"
#include "widgets/colorscheme.h"
#include "widgets/fancytoolbtn.h"
#include "widgets/mycalendar.h"
#include "widgets/mycalendarmonthwidget.h"

#include <QApplication>
#include <QHash>
#include <QLabel>
#include <QTemporaryDir>

#include <cmath>
#include <memory>

namespace {

enum class Shown {
    OpenRow, SelectedRow, CompletedRow, CompletedSelectedRow, DueNowRow, DueSoonRow, DueLaterRow, UnnamedRow,
    LaterDate, SoonDate, OverdueDate, SelectedOverdueDate, FoundTaskGroup, EditorName, EditorNotes, EditorDate,
    NotesHint, DateHint, GroupName, SelectedGroupName, HighlightedGroupName, DueNowCounter, DueSoonCounter,
    LaterCounter, HintCard, HintCardLink, ToolButton, HoveredToolButton, FindField, CalendarMonth, CalendarWeekday,
    CalendarDay, CalendarChosenDay, DialogHeading, DialogIconName, Count
};

// In the order of Shown; a star marks the designed light colours below 4.5, kept as designed
// (the dark variant meets it).
const char* const kShownNames[] = {
    "open row", "selected row", "*completed row", "*completed selected row", "row due now", "row due soon",
    "row due later", "*unnamed row", "due date later", "due date soon", "overdue date", "selected overdue date",
    "*group of a found task", "editor name", "editor notes", "editor due date", "*notes hint", "*due date hint",
    "group name", "selected group name", "highlighted group name", "*counter due now", "counter due soon",
    "*counter due later", "*hint card", "*hint card link", "tool button", "hovered tool button", "find field",
    "*calendar month", "*calendar weekday", "*calendar day", "calendar chosen day", "group dialog heading",
    "group dialog icon name"};
static_assert(sizeof(kShownNames) / sizeof(*kShownNames) == int(Shown::Count));

// The tasks of the group "Home", in list order.
enum Task { Water, Rent, Plumber, Trip, Stamps, Unnamed, Passport, Mail, Dentist, TaskCount };

double luminance(QRgb rgb)
{
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) + 0.0722 * channel(qBlue(rgb));
}

double contrastRatio(QRgb a, QRgb b)
{
    const double la = luminance(a), lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

/// The contrast of a text as rendered: the ground is the commonest colour of the area, the text
/// its pixel farthest from the ground (the core of a glyph, where antialiasing blends nothing
/// in). With `saturatedOnly` only strongly coloured pixels count as text, which picks a link
/// out of the grey text around it.
double renderedContrast(const QImage& image, const QRect& area, bool saturatedOnly = false)
{
    const QRect rect = area & image.rect();
    QHash<QRgb, int> counts;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            ++counts[image.pixel(x, y) | 0xFF000000];
    QRgb ground = 0;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            ground = it.key();
        }
    }
    double best = 1.0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (saturatedOnly && QColor(it.key()).hsvSaturationF() < 0.45)
            continue;
        best = qMax(best, contrastRatio(it.key(), ground));
    }
    return best;
}

QRect areaIn(QWidget* top, QWidget* widget, const QRect& rect)
{
    return QRect(widget->mapTo(top, rect.topLeft()), rect.size());
}

QRect areaIn(QWidget* top, QWidget* widget)
{
    return areaIn(top, widget, widget->rect());
}

/// The main window on the group "Home", shown.
struct Scene
{
    Scene(const FocusGroup::Id& home)
    {
        window.resize(800, 450);
        testenv::showActive(&window);
        window.groupPanel()->selectGroup(home);
        list()->clearSelection();
        QCoreApplication::processEvents();
    }

    TaskListWidget* list() const { return window.taskList(); }
    QImage shot() { return window.grab().toImage(); }

    MainWindow window;
};

} // namespace

Q_DECLARE_METATYPE(Shown)

class TstContrast : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_store.ready());
        AppSettings::settings()->setDateFormat(QStringLiteral("dd.MM.yyyy"));
        // A steady cursor: two renderings of a focused field are then the same.
        QApplication::setCursorFlashTime(0);
        m_light = QApplication::palette();
        QVERIFY(!ColorScheme::isDarkPalette(m_light));

        TaskStorage& store = *TaskCore::instance()->storage();
        m_home = store.addGroup(QStringLiteral("Home"), QStringLiteral("home"));
        const QDateTime noon(QDate::currentDate(), QTime(12, 0));
        const struct { const char* name; const char* notes; int dueInDays; bool completed; } tasks[TaskCount] = {
            {"Water the plants", "", 0, false},        {"Pay the rent", "", -1, false},
            {"Call the plumber", "", 2, false},        {"Plan the trip", "", 30, false},
            {"Buy stamps", "", 0, true},               {"", "", 0, false},
            {"Renew the passport", "", 0, false},      {"Sort the mail", "", 0, true},
            {"Book the dentist", "Ask about Friday", 10, false},
        };
        for (const auto& task : tasks) {
            const TodoTask::Id id = store.createTask(m_home);
            store.setTaskName(id, QString::fromUtf8(task.name));
            store.setTaskNotes(id, QString::fromUtf8(task.notes));
            if (task.dueInDays != 0)
                store.setTaskDue(id, noon.addDays(task.dueInDays));
            if (task.completed)
                store.setTaskCompleted(id, true, noon);
            m_tasks.append(id);
        }
    }

    void cleanup() { QApplication::setPalette(m_light); }


    void textStandsOutFromItsGround_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<Shown>("shown");
        QTest::addColumn<bool>("designedBelow");
        for (const bool dark : {false, true}) {
            for (int i = 0; i < int(Shown::Count); ++i) {
                const bool below = kShownNames[i][0] == '*';
                QTest::addRow("%s, %s", dark ? "dark" : "light", kShownNames[i] + int(below)) << dark << Shown(i) << (!dark && below);
            }
        }
    }

    void textStandsOutFromItsGround()
    {
        QFETCH(bool, dark);
        QFETCH(Shown, shown);
        QFETCH(bool, designedBelow);
        QApplication::setPalette(dark ? ColorScheme::typicalDarkPalette() : m_light);
        const double ratio = _contrastOf(shown);
        if (designedBelow)
            QEXPECT_FAIL("", "the designed light colours", Continue);
        QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("contrast %1").arg(ratio, 0, 'f', 2)));
    }

    void windowsFollowThePaletteLive_data()
    {
        QTest::addColumn<bool>("toDark");
        QTest::addColumn<int>("scene");
        const char* scenes[] = {"task list and groups", "open editor", "calendar", "found tasks", "hint card", "group dialog"};
        for (const bool toDark : {true, false})
            for (int scene = 0; scene < 6; ++scene)
                QTest::addRow("%s, %s", toDark ? "light to dark" : "dark to light", scenes[scene]) << toDark << scene;
    }

    // Built under one palette and switched to the other, a window looks as if built under the
    // other.
    void windowsFollowThePaletteLive()
    {
        QFETCH(bool, toDark);
        QFETCH(int, scene);
        const QPalette from = toDark ? m_light : ColorScheme::typicalDarkPalette();
        const QPalette to = toDark ? ColorScheme::typicalDarkPalette() : m_light;

        QApplication::setPalette(to);
        const QImage expected = _sceneShot(scene, nullptr);
        QApplication::setPalette(from);
        const QImage switched = _sceneShot(scene, &to);
        QCOMPARE(switched.size(), expected.size());
        QVERIFY(switched == expected);
    }

private:
    int _indexOf(TaskListWidget* list, Task task) const
    {
        for (int i = 0; i < list->rowCount(); ++i) {
            if (list->taskIdAt(i) == m_tasks.at(task))
                return i;
        }
        return -1;
    }

    QRect _labelArea(Scene& scene, Task task) const
    {
        TaskWidget* row = scene.list()->row(_indexOf(scene.list(), task));
        return row ? areaIn(&scene.window, row->label()) : QRect();
    }

    QRect _dueArea(Scene& scene, Task task) const
    {
        TaskWidget* row = scene.list()->row(_indexOf(scene.list(), task));
        QLabel* due = row ? row->dueLabel() : nullptr;
        return due && due->isVisible() ? areaIn(&scene.window, due) : QRect();
    }

    /// Opens the editor of a task and puts the focus into one of its fields.
    TaskWidget* _openEditor(Scene& scene, Task task, QWidget* (*focused)(TaskWidget*)) const
    {
        scene.list()->setEditing(_indexOf(scene.list(), task));
        TaskWidget* row = scene.list()->editedRow();
        if (!row)
            return nullptr;
        focused(row)->setFocus();
        QCoreApplication::processEvents();
        return row;
    }

    static QWidget* notesField(TaskWidget* row) { return row->notesEdit(); }
    static QWidget* nameField(TaskWidget* row) { return row->nameEdit(); }
    static QWidget* dateField(TaskWidget* row) { return row->dateWidget()->edit(); }

    CalendarPopup* _openCalendar(Scene& scene) const
    {
        TaskWidget* row = _openEditor(scene, Plumber, dateField);
        if (!row)
            return nullptr;
        DateWidget* date = row->dateWidget();
        if (!QTest::qWaitFor([date] { return date->popup() && date->popup()->isVisible(); }, 2000))
            return nullptr;
        return date->popup();
    }

    double _contrastOf(Shown shown) const
    {
        Scene scene(m_home);
        TaskListWidget* list = scene.list();
        MainWindow* window = &scene.window;
        switch (shown) {
        case Shown::OpenRow: case Shown::SelectedRow: case Shown::CompletedRow: case Shown::CompletedSelectedRow:
        case Shown::DueNowRow: case Shown::DueSoonRow: case Shown::DueLaterRow: case Shown::UnnamedRow:
        case Shown::LaterDate: case Shown::SoonDate: case Shown::OverdueDate: case Shown::SelectedOverdueDate: {
            // The task of each, in the order of Shown, and whether it is selected.
            const Task tasks[] = {Water, Passport, Stamps, Mail, Rent, Plumber, Trip, Unnamed, Trip, Plumber, Rent, Rent};
            const Task task = tasks[int(shown)];
            if (shown == Shown::SelectedRow || shown == Shown::CompletedSelectedRow || shown == Shown::SelectedOverdueDate)
                list->selectTasks({m_tasks.at(task)}, m_tasks.at(task));
            return renderedContrast(scene.shot(), shown < Shown::LaterDate ? _labelArea(scene, task) : _dueArea(scene, task));
        }
        case Shown::FoundTaskGroup: {
            window->findBar()->open();
            window->findBar()->edit()->setText(QStringLiteral("rent"));
            QCoreApplication::processEvents();
            TaskWidget* row = list->row(0);
            if (!row || !row->groupLabel())
                return 0;
            return renderedContrast(scene.shot(), areaIn(window, row->groupLabel()));
        }
        case Shown::EditorName:
        case Shown::EditorNotes:
        case Shown::EditorDate: {
            TaskWidget* row = _openEditor(scene, Dentist, notesField);
            if (!row)
                return 0;
            QWidget* field = shown == Shown::EditorName    ? static_cast<QWidget*>(row->nameEdit())
                             : shown == Shown::EditorNotes ? static_cast<QWidget*>(row->notesEdit())
                                                           : static_cast<QWidget*>(row->dateWidget()->edit());
            return renderedContrast(scene.shot(), areaIn(window, field));
        }
        case Shown::NotesHint:
        case Shown::DateHint: {
            TaskWidget* row = _openEditor(scene, Water, nameField);
            if (!row)
                return 0;
            QWidget* field = shown == Shown::NotesHint ? static_cast<QWidget*>(row->notesEdit())
                                                       : static_cast<QWidget*>(row->dateWidget()->edit());
            return renderedContrast(scene.shot(), areaIn(window, field));
        }
        case Shown::GroupName:
        case Shown::SelectedGroupName:
        case Shown::HighlightedGroupName: {
            const FocusGroup::Id id = shown == Shown::GroupName           ? FocusGroup::inboxId()
                                      : shown == Shown::SelectedGroupName ? m_home
                                                                          : FocusGroup::completedId();
            FocusGroupWidget* row = window->groupPanel()->rowOf(id);
            if (shown == Shown::HighlightedGroupName)
                row->setHighlighted(true);
            return renderedContrast(scene.shot(), areaIn(window, row->nameLabel()));
        }
        case Shown::DueNowCounter:
        case Shown::DueSoonCounter:
        case Shown::LaterCounter: {
            CountWidget* counter = window->groupPanel()->rowOf(m_home)->counter();
            const int position = counter->visibleCounters().indexOf(
                shown == Shown::DueNowCounter ? 0 : shown == Shown::DueSoonCounter ? 1 : 2);
            if (position < 0)
                return 0;
            // Inside the segment's rounded ends.
            const QRect segment = counter->segmentRects().at(position).adjusted(3, 2, -3, -2);
            return renderedContrast(scene.shot(), areaIn(window, counter, segment));
        }
        case Shown::HintCard:
        case Shown::HintCardLink: {
            window->groupPanel()->selectGroup(shown == Shown::HintCard ? FocusGroup::trashId() : FocusGroup::inboxId());
            QCoreApplication::processEvents();
            if (!list->hint())
                return 0;
            return renderedContrast(scene.shot(), areaIn(window, list->hint()->textLabel()),
                                    shown == Shown::HintCardLink);
        }
        case Shown::ToolButton:
        case Shown::HoveredToolButton: {
            FancyToolBtn* button = window->toolbar()->firstButton();
            if (shown == Shown::HoveredToolButton) {
                button->setAttribute(Qt::WA_UnderMouse);
                button->update();
            }
            // The band of the text, under the icon.
            const QRect band(3, 32, button->width() - 6, button->height() - 34);
            return renderedContrast(scene.shot(), areaIn(window, button, band));
        }
        case Shown::FindField: {
            window->findBar()->open();
            FancyLineEdit* edit = window->findBar()->edit();
            edit->setText(QStringLiteral("rent"));
            QCoreApplication::processEvents();
            // The typed text, without the frame and the clear button.
            const QRect text(4, 4, edit->fontMetrics().horizontalAdvance(edit->text()) + 4, edit->height() - 8);
            return renderedContrast(scene.shot(), areaIn(window, edit, text));
        }
        case Shown::CalendarMonth:
        case Shown::CalendarWeekday:
        case Shown::CalendarDay:
        case Shown::CalendarChosenDay: {
            CalendarPopup* popup = _openCalendar(scene);
            if (!popup)
                return 0;
            const QImage image = popup->grab().toImage();
            if (shown == Shown::CalendarMonth)
                return renderedContrast(image, areaIn(popup, popup->calendar()->monthLabel()));
            MyCalendarMonthWidget* grid = popup->findChild<MyCalendarMonthWidget*>();
            const QDate chosen = grid->date();
            QRect cell;
            if (shown == Shown::CalendarWeekday) {
                cell = QRect(QPoint(0, 0), grid->cellSize());
            } else if (shown == Shown::CalendarChosenDay) {
                cell = grid->cellRect(chosen);
            } else {
                // A day that is neither chosen nor today, so neither tinted nor outlined.
                QDate day = chosen.addDays(chosen.day() > 15 ? -7 : 7);
                if (day == QDate::currentDate())
                    day = day.addDays(1);
                cell = grid->cellRect(day);
            }
            return renderedContrast(image, areaIn(popup, grid, cell));
        }
        case Shown::Count:
            return 0;
        case Shown::DialogHeading:
        case Shown::DialogIconName: {
            EditGroupDialog dialog(QStringLiteral("Home"), QStringLiteral("home"), window);
            dialog.show();
            QCoreApplication::processEvents();
            const QImage image = dialog.grab().toImage();
            if (shown == Shown::DialogHeading) {
                double lowest = 100;
                int headings = 0;
                for (QLabel* label : dialog.findChildren<QLabel*>()) {
                    if (!label->text().contains(QLatin1String("<strong>")))
                        continue;
                    ++headings;
                    lowest = qMin(lowest, renderedContrast(image, areaIn(&dialog, label)));
                }
                return headings == 2 ? lowest : 0;
            }
            auto* chooser = dialog.findChild<SelectIconWidget*>(QStringLiteral("iconChooser"));
            // The name under an icon in view that is neither chosen nor under the mouse.
            for (int i = 0; i < chooser->count(); ++i) {
                const QRect item = chooser->visualItemRect(chooser->item(i));
                if (i == chooser->currentRow() || !chooser->viewport()->rect().contains(item))
                    continue;
                const QRect name(item.left() + 3, item.top() + 57, item.width() - 6, chooser->fontMetrics().height());
                return renderedContrast(image, areaIn(&dialog, chooser->viewport(), name));
            }
            return 0;
        }
        }
        return 0;
    }

    /// A picture of one scene, built under the application palette; with `switchTo`, the
    /// palette is switched to it once the scene is on show.
    QImage _sceneShot(int which, const QPalette* switchTo) const
    {
        Scene scene(m_home);
        MainWindow* window = &scene.window;
        std::unique_ptr<EditGroupDialog> dialog;
        CalendarPopup* popup = nullptr;
        switch (which) {
        case 0:
            scene.list()->selectTasks({m_tasks.at(Passport), m_tasks.at(Mail)}, m_tasks.at(Passport));
            window->groupPanel()->rowOf(FocusGroup::completedId())->setHighlighted(true);
            break;
        case 1:
            _openEditor(scene, Dentist, nameField);
            break;
        case 2:
            popup = _openCalendar(scene);
            break;
        case 3:
            window->findBar()->open();
            window->findBar()->edit()->setText(QStringLiteral("the"));
            break;
        case 4:
            window->groupPanel()->selectGroup(FocusGroup::inboxId());
            break;
        default:
            dialog = std::make_unique<EditGroupDialog>(QStringLiteral("Home"), QStringLiteral("home"), window);
            dialog->show();
            break;
        }
        QCoreApplication::processEvents();
        if (switchTo) {
            QApplication::setPalette(*switchTo);
            QCoreApplication::processEvents();
        }
        if (dialog)
            return dialog->grab().toImage();
        if (which == 2)
            return popup ? popup->grab().toImage() : QImage();
        return scene.shot();
    }

    uitest::TempStore m_store;
    QPalette m_light;
    FocusGroup::Id m_home;
    QList<TodoTask::Id> m_tasks;
};

MRV_TEST_WIDGETS_MAIN(TstContrast)
#include "tst_contrast.moc"
