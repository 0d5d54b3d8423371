// Renders every picture and every styled control of the program, in each of its states, into
// PNG contact sheets, so that anyone can look at them: mrv_gallery [OUTPUT_FOLDER]
#include "sheet.h"

#include "store/focusgroup.h"
#include "ui/countwidget.h"
#include "ui/grouphintwidget.h"
#include "ui/syncstatusmark.h"
#include "widgets/colorscheme.h"
#include "widgets/fancycheckbox.h"
#include "widgets/fancylineedit.h"
#include "widgets/fancyscrollbar.h"
#include "widgets/fancysplitter.h"
#include "widgets/fancytoolbtn.h"
#include "widgets/focusiconcatalogue.h"
#include "widgets/hintededit.h"

#include "gallerycalendar.h"
#include "gallerywindows.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTextStream>
#include <QVBoxLayout>

#include <cstdio>

namespace {

QPixmap onBackground(const QPixmap& picture, const QColor& background, int margin = 4)
{
    QPixmap result(picture.size() + QSize(2 * margin, 2 * margin));
    result.fill(background);
    QPainter painter(&result);
    painter.drawPixmap(margin, margin, picture);
    return result;
}

QPixmap resource(const QString& name)
{
    return QPixmap(QStringLiteral(":/") + name);
}

bool picturesSheet(const QString& folder)
{
    Sheet sheet(QStringLiteral("Group icons: 20 px and 48 px, on white and on the panel colour"), 8);
    QStringList keys = FocusIconCatalogue::keys();
    keys.insert(keys.indexOf(QStringLiteral("trash_empty")) + 1, QStringLiteral("trash_full"));
    for (const QString& key : keys) {
        const QPixmap small = resource(QStringLiteral("icons_focus/%1_20").arg(key));
        const QPixmap large = resource(QStringLiteral("icons_focus/%1_48").arg(key));
        QPixmap cell(2 * 56 + 40, 56);
        cell.fill(Qt::transparent);
        QPainter painter(&cell);
        painter.drawPixmap(0, 0, onBackground(large, Qt::white));
        painter.drawPixmap(60, 0, onBackground(small, Qt::white));
        painter.drawPixmap(60, 30, onBackground(small, schemeColor(ColorScheme::Panel)));
        painter.drawPixmap(92, 0, onBackground(large, schemeColor(ColorScheme::Panel)).scaled(52, 52));
        painter.end();
        sheet.add(key, cell);
    }
    bool ok = sheet.save(folder + QStringLiteral("/pictures-groups.png"));

    Sheet other(QStringLiteral("Program icon, toolbar, editor, calendar and check-box pictures (real size and 4x)"), 6);
    const QStringList names = {QStringLiteral("icons/one_16"), QStringLiteral("icons/one_16_black"),
                               QStringLiteral("icons/one_16_white"), QStringLiteral("icons/one_32"),
                               QStringLiteral("icons/one_48"), QStringLiteral("icons/toolbar_new"),
                               QStringLiteral("icons/toolbar_edit"), QStringLiteral("icons/toolbar_cleanup"),
                               QStringLiteral("icons/view_normal"), QStringLiteral("icons/view_compact"),
                               QStringLiteral("icons/edit_note"), QStringLiteral("icons/edit_duedate"),
                               QStringLiteral("icons/edit_repeat"),
                               QStringLiteral("calendar/icon_prev_month_16"), QStringLiteral("calendar/icon_reset_16"),
                               QStringLiteral("calendar/icon_next_month_16"), QStringLiteral("icons_checkbox/checkbox_flat-N"),
                               QStringLiteral("icons_checkbox/checkbox_flat-P"), QStringLiteral("icons_checkbox/checkbox_done-N"),
                               QStringLiteral("icons_checkbox/checkbox_done-P")};
    for (const QString& name : names) {
        const QPixmap picture = resource(name);
        const QColor background = name.endsWith(QLatin1String("white")) ? QColor(0x34495E) : QColor(Qt::white);
        QPixmap cell(picture.width() * 5 + 24, qMax(picture.height() * 4 + 8, 40));
        cell.fill(Qt::transparent);
        QPainter painter(&cell);
        painter.drawPixmap(0, 0, onBackground(picture, background));
        painter.drawPixmap(picture.width() + 16, 0, onBackground(picture, background).scaled((picture.size() + QSize(8, 8)) * 4));
        painter.end();
        other.add(name.section(QLatin1Char('/'), 1), cell);
    }
    ok = other.save(folder + QStringLiteral("/pictures-other.png")) && ok;

    Sheet large(QStringLiteral("Program icon 256 px and the clock of the about dialog"), 3);
    large.add(QStringLiteral("one_256"), onBackground(resource(QStringLiteral("icons/one_256")), Qt::white));
    large.add(QStringLiteral("one_noarrows"), onBackground(resource(QStringLiteral("about/one_noarrows")), Qt::white));
    QPixmap clock = resource(QStringLiteral("about/one_noarrows"));
    {
        QPainter painter(&clock);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QPointF pivot(175.5, 179.5);
        const struct
        {
            const char* name;
            qreal degrees;
        } hands[] = {{"about/arrow_hour", 10 * 30 + 5}, {"about/arrow_minute", 10 * 6}};
        for (const auto& hand : hands) {
            painter.save();
            painter.translate(pivot);
            painter.rotate(hand.degrees);
            painter.translate(-pivot);
            painter.drawPixmap(0, 0, resource(QLatin1String(hand.name)));
            painter.restore();
        }
    }
    large.add(QStringLiteral("with hands at 10:10"), onBackground(clock, Qt::white));
    return large.save(folder + QStringLiteral("/pictures-large.png")) && ok;
}

void press(QWidget* widget)
{
    QMouseEvent event(QEvent::MouseButtonPress, QPointF(widget->rect().center()),
                      widget->mapToGlobal(QPointF(widget->rect().center())), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

void release(QWidget* widget)
{
    QMouseEvent event(QEvent::MouseButtonRelease, QPointF(-10, -10), widget->mapToGlobal(QPointF(-10, -10)),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

bool controlsSheet(const QString& folder)
{
    Sheet sheet(QStringLiteral("Styled controls in their states"), 4);

    const char* keyNames[] = {"unchecked", "unchecked, pressed", "checked", "checked, pressed"};
    for (int key = 0; key < 4; ++key) {
        TaskCheckbox box;
        box.setChecked(key >= 2);
        box.show();
        if (key % 2) {
            box.setAttribute(Qt::WA_UnderMouse, true);
            press(&box);
        }
        sheet.add(QStringLiteral("check box: %1").arg(QLatin1String(keyNames[key])), onBackground(transparentGrab(&box), Qt::white), 3);
        if (key % 2)
            release(&box);
    }
    for (bool checked : {false, true}) {
        TaskCheckbox box;
        box.setChecked(checked);
        box.setOpacity(0.6);
        box.show();
        sheet.add(checked ? QStringLiteral("checked at 0.6 opacity") : QStringLiteral("unchecked at 0.6 opacity"),
                  onBackground(transparentGrab(&box), Qt::white), 3);
    }

    for (const QString& text : {QString(), QStringLiteral("Buy milk and bread")}) {
        HintedEditT<FancyLineEdit> edit(text, QStringLiteral("Task name"));
        edit.setFrame(false);
        edit.setTextMargins(0, 0, 0, 0);
        edit.setBaseColor(schemeColor(ColorScheme::EditBase));
        edit.resize(200, edit.sizeHint().height());
        edit.show();
        sheet.add(text.isEmpty() ? QStringLiteral("name field with hint") : QStringLiteral("name field with text"),
                  onBackground(edit.grab(), Qt::white));
    }
    for (const QString& text : {QString(), QStringLiteral("Two litres\nsemi-skimmed")}) {
        HintedEditT<QTextEdit> edit(text, QStringLiteral("Notes"));
        edit.setFrameStyle(QFrame::NoFrame);
        edit.resize(200, 48);
        edit.show();
        sheet.add(text.isEmpty() ? QStringLiteral("notes with hint") : QStringLiteral("notes with text"),
                  onBackground(edit.grab(), Qt::white));
    }

    for (bool hovered : {false, true}) {
        FancyScrollbar vertical(Qt::Vertical);
        vertical.setRange(0, 100);
        vertical.setPageStep(40);
        vertical.setValue(30);
        vertical.resize(10, 120);
        vertical.show();
        vertical.setAttribute(Qt::WA_UnderMouse, hovered);
        sheet.add(hovered ? QStringLiteral("vertical scroll bar, hovered") : QStringLiteral("vertical scroll bar"),
                  onBackground(vertical.grab(), QColor(0xDDE3EA)), 2);
        FancyScrollbar horizontal(Qt::Horizontal);
        horizontal.setRange(0, 100);
        horizontal.setPageStep(40);
        horizontal.resize(160, 10);
        horizontal.show();
        horizontal.setAttribute(Qt::WA_UnderMouse, hovered);
        sheet.add(hovered ? QStringLiteral("horizontal scroll bar, hovered") : QStringLiteral("horizontal scroll bar"),
                  onBackground(horizontal.grab(), QColor(0xDDE3EA)), 2);
    }

    for (int first : {120, 0}) {
        FancySplitter splitter(Qt::Horizontal);
        auto* left = new QLabel(QStringLiteral("group panel"));
        left->setAutoFillBackground(true);
        QPalette panel = left->palette();
        panel.setColor(QPalette::Window, schemeColor(ColorScheme::Panel));
        left->setPalette(panel);
        auto* right = new QLabel(QStringLiteral("task list"));
        right->setAutoFillBackground(true);
        QPalette list = right->palette();
        list.setColor(QPalette::Window, Qt::white);
        right->setPalette(list);
        splitter.addWidget(left);
        splitter.addWidget(right);
        splitter.resize(300, 80);
        splitter.setFirstWidth(first);
        splitter.show();
        sheet.add(first ? QStringLiteral("splitter with first pane") : QStringLiteral("splitter without first pane"),
                  onBackground(splitter.grab(), Qt::black, 1));
    }

    const char* states[] = {"plain", "hovered", "pressed", "disabled"};
    for (int state = 0; state < 4; ++state) {
        QWidget bar;
        bar.setAutoFillBackground(true);
        QPalette palette = bar.palette();
        palette.setColor(QPalette::Window, schemeColor(ColorScheme::ToolbarBackground));
        bar.setPalette(palette);
        auto* button = new FancyToolBtn(&bar);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setIcon(QIcon(QStringLiteral(":/icons/toolbar_new")));
        button->setText(QStringLiteral("New"));
        button->resize(qMax(60, button->sizeHint().width()), 52);
        auto* small = new FancyToolBtn(&bar);
        small->setToolButtonStyle(Qt::ToolButtonIconOnly);
        small->setIcon(calendarIcon(CalendarNextMonth));
        small->resize(small->sizeHint());
        small->move(70, 18);
        bar.resize(100, 56);
        bar.show();
        for (FancyToolBtn* b : {button, small}) {
            if (state == 1 || state == 2)
                b->setAttribute(Qt::WA_UnderMouse, true);
            if (state == 2)
                press(b);
            if (state == 3)
                b->setEnabled(false);
        }
        sheet.add(QStringLiteral("tool buttons, %1").arg(QLatin1String(states[state])), bar.grab(), 2);
        if (state == 2) {
            release(button);
            release(small);
        }
    }
    return sheet.save(folder + QStringLiteral("/controls.png"));
}

bool hintsSheet(const QString& folder)
{
    Sheet sheet(QStringLiteral("Hint cards of empty groups"), 2);
    const struct
    {
        QUuid id;
        const char* name;
    } groups[] = {{FocusGroup::inboxId(), "Inbox"},
                  {FocusGroup::trashId(), "Trash"},
                  {FocusGroup::completedId(), "Completed"},
                  {QUuid::createUuid(), "user group"}};
    for (const auto& group : groups) {
        QWidget page;
        page.setAutoFillBackground(true);
        QPalette palette = page.palette();
        palette.setColor(QPalette::Window, Qt::white);
        page.setPalette(palette);
        auto* hint = new GroupHintWidget(focusGroupIcon(group.id, QString(), true), GroupHintWidget::hintText(group.id), &page);
        hint->move(10, 10);
        page.resize(320, hint->height() + 20);
        page.show();
        sheet.add(QLatin1String(group.name), page.grab());
    }
    return sheet.save(folder + QStringLiteral("/hints.png"));
}

bool countersSheet(const QString& folder)
{
    Sheet sheet(QStringLiteral("Task counters of group rows (3x)"), 4);
    const QColor colors[3] = {schemeColor(ColorScheme::DueNow), schemeColor(ColorScheme::DueSoon),
                              schemeColor(ColorScheme::DueLater)};
    const QList<QList<int>> cases = {{4, 0, 0}, {0, 12, 3}, {2, 5, 128}, {0, 0, 7}};
    const char* captions[] = {"one segment (due now)", "two segments", "three segments", "one segment (later)"};
    for (int c = 0; c < cases.size(); ++c) {
        CountWidget counter(3);
        for (int i = 0; i < 3; ++i) {
            counter.setColor(i, colors[i]);
            counter.setTextColor(i, schemeColor(ColorScheme::Text).lighter(150));
            counter.setCount(i, cases.at(c).at(i));
        }
        counter.resize(counter.minimumSizeHint());
        counter.show();
        sheet.add(QLatin1String(captions[c]), onBackground(transparentGrab(&counter), schemeColor(ColorScheme::Panel)), 3);
    }
    return sheet.save(folder + QStringLiteral("/counters.png"));
}

bool syncMarkSheet(const QString& folder)
{
    Sheet sheet(QStringLiteral("Sync status mark: each look at 1x and 2x, on the toolbar, light and dark (4x)"), 4);
    const QPalette light = QApplication::palette();
    const struct
    {
        SyncStatusMark::Look look;
        const char* name;
    } looks[] = {{SyncStatusMark::Look::Waiting, "waiting"},
                 {SyncStatusMark::Look::Syncing, "syncing"},
                 {SyncStatusMark::Look::Synced, "synced"},
                 {SyncStatusMark::Look::Offline, "offline"},
                 {SyncStatusMark::Look::Attention, "needs attention"}};
    for (const bool dark : {false, true}) {
        QApplication::setPalette(dark ? ColorScheme::typicalDarkPalette() : light);
        for (const auto& look : looks) {
            for (const qreal ratio : {1.0, 2.0}) {
                QPixmap picture = SyncStatusMark::picture(look.look, ratio);
                picture.setDevicePixelRatio(1);
                sheet.add(QStringLiteral("%1, %2x%3").arg(QLatin1String(look.name)).arg(ratio).arg(dark ? QStringLiteral(", dark") : QString()),
                          onBackground(picture, schemeColor(ColorScheme::ToolbarBackground)), ratio > 1 ? 2 : 4);
            }
        }
    }
    QApplication::setPalette(light);
    return sheet.save(folder + QStringLiteral("/sync-mark.png"));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QString folder = args.size() > 1 && !args.at(1).startsWith(QLatin1String("--")) ? args.at(1) : QStringLiteral("gallery");
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "mrv_gallery: cannot create %s\n", qPrintable(folder));
        return 1;
    }
    // With --windows only the windows, for a run at another screen scale (QT_SCALE_FACTOR).
    const bool windowsOnly = args.contains(QStringLiteral("--windows"));
    bool ok = true;
    if (!windowsOnly) {
        ok = picturesSheet(folder) && ok;
        ok = controlsSheet(folder) && ok;
        ok = hintsSheet(folder) && ok;
        ok = countersSheet(folder) && ok;
        ok = syncMarkSheet(folder) && ok;
        ok = gallery::calendarSheet(folder) && ok;
    }
    ok = gallery::windowsGallery(folder) && ok;
    if (!ok) {
        std::fprintf(stderr, "mrv_gallery: some sheets could not be written to %s\n", qPrintable(folder));
        return 1;
    }
    QTextStream(stdout) << "Gallery written to " << QDir(folder).absolutePath() << Qt::endl;
    return 0;
}
