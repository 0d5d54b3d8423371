#include "ui/mainwindow.h"

#include "base/identity.h"
#include "core/duetasks.h"
#include "settings/appsettings.h"
#include "sync/syncservice.h"
#include "ui/accessibility.h"
#include "ui/calendarimport.h"
#include "ui/findbar.h"
#include "ui/focusgrouplistwidget.h"
#include "ui/passwordprompt.h"
#include "ui/prefsdialog.h"
#include "ui/statusnote.h"
#include "ui/syncstatusmark.h"
#include "ui/tasklistwidget.h"
#include "ui/toolbar.h"
#include "ui/toolbaractions.h"
#include "ui/trayicon.h"
#include "ui/undocommands.h"
#include "ui/writefailurebar.h"
#include "widgets/fancysplitter.h"
#include "widgets/fancytoolbtn.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QShortcut>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QPropertyAnimation>
#include <QScreen>
#include <QVBoxLayout>

namespace {

constexpr int ViewAnimationMs = 300;

AppSettings* settings()
{
    return AppSettings::settings();
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint)
{
    installAccessibility();
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(productName());

    m_splitter = new FancySplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("splitter"));
    m_groupPanel = new FocusGroupListWidget(m_splitter);
    m_groupPanel->setMinimumWidth(100);
    m_rightPane = new QWidget(m_splitter);
    m_rightPane->setObjectName(QStringLiteral("rightPane"));
    m_rightPane->setMinimumWidth(100);
    auto* rightLayout = new QVBoxLayout(m_rightPane);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->setSpacing(0);
    m_taskList = new TaskListWidget(FocusGroup::inboxId(), m_rightPane);
    // One collection of the due tasks for the panel's counters and the list's rows.
    m_taskList->setDueTasks(m_groupPanel->dueTasks());
    connect(m_groupPanel, &FocusGroupListWidget::activated, this, &MainWindow::_onGroupSelected);
    connect(m_groupPanel, &FocusGroupListWidget::changed, this, &MainWindow::_onGroupChanged);
    connect(m_groupPanel, &FocusGroupListWidget::opened, this, [this] { m_taskList->setFocus(Qt::TabFocusReason); });
    connect(m_taskList, &TaskListWidget::highlightGroups, m_groupPanel, &FocusGroupListWidget::_onHighlightGroups);
    m_toolbar = new Toolbar(this);
    m_findBar = new FindBar(m_taskList, m_rightPane);
    rightLayout->addWidget(m_findBar, 0);
    rightLayout->addWidget(m_taskList, 1);
    m_statusNote = new StatusNote(m_rightPane);
    rightLayout->addWidget(m_statusNote, 0);
    rightLayout->addWidget(m_toolbar, 0);
    m_splitter->addWidget(m_groupPanel);
    m_splitter->addWidget(m_rightPane);
    m_taskList->raise();
    // Tab goes from the groups to the tasks to the toolbar's buttons.
    setTabOrder(m_groupPanel, m_taskList);
    setTabOrder(m_taskList, m_toolbar->firstButton());

    m_writeFailureBar = new WriteFailureBar(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_writeFailureBar, 0);
    layout->addWidget(m_splitter, 1);

    // The shared actions may have been made for another window, in another language, and
    // left disabled by a group it showed; this window starts on the Inbox.
    retranslateActions();
    newTaskAction()->setEnabled(true);
    cleanupAction()->setEnabled(true);
    connect(newTaskAction(), &QAction::triggered, this, &MainWindow::_onNewTask);
    connect(editTaskAction(), &QAction::triggered, this, &MainWindow::_onEditTask);
    connect(cleanupAction(), &QAction::triggered, this, &MainWindow::_onCleanup);
    connect(toggleViewAction(), &QAction::triggered, this, &MainWindow::_onSwitchView);
    connect(findTasksAction(), &QAction::triggered, m_findBar, &FindBar::open);
    importCalendarAction()->setEnabled(true);
    syncNowAction()->setEnabled(false);
    connect(syncNowAction(), &QAction::triggered, this, &MainWindow::_onSyncNow);
    connect(importCalendarAction(), &QAction::triggered, this, &MainWindow::_onImportCalendar);
    // The program menu's commands have their shortcuts in the window too.
    addAction(syncNowAction());
    addAction(importCalendarAction());
    addAction(undoAction());
    addAction(redoAction());
    m_undoCommands = new UndoCommands(this, m_statusNote);
    connect(m_toolbar->syncMark(), &SyncStatusMark::clicked, this, &MainWindow::_onSyncMarkClicked);
    auto* quitShortcut = new QShortcut(QKeySequence::Quit, this, this, &MainWindow::quitProgram);
    quitShortcut->setObjectName(QStringLiteral("quitShortcut"));
    quitShortcut->setContext(Qt::WindowShortcut);
    // F10 opens the program's menu, as it opens a menu bar elsewhere.
    auto* menuShortcut = new QShortcut(QKeySequence(Qt::Key_F10), this, this, [this] {
        FancyToolBtn* button = m_toolbar->programMenuButton();
        if (button->menu() && button->isVisible())
            button->showMenu();
    });
    menuShortcut->setObjectName(QStringLiteral("menuShortcut"));
    menuShortcut->setContext(Qt::WindowShortcut);

    _fitMinimumSize();
    connect(m_toolbar->syncMark(), &SyncStatusMark::wantedChanged, this, &MainWindow::_fitMinimumSize);

    const QRect frame = settings()->mainWindowFrame();
    if (frame.isValid() && isWayland()) {
        resize(frame.size());
    } else if (frame.isValid()) {
        setGeometry(frame);
    } else {
        resize(800, 450);
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(defaultFrame(screen->availableGeometry()).topLeft());
    }
    _nameParts();
    _fitDefaultPanelWidth();
    setView(settings()->compactView(), true);
    m_taskList->setFocus();
}

void MainWindow::_fitMinimumSize()
{
    // Small enough for a small screen, large enough that the task list and every toolbar
    // button (the sync mark too, while it is there) stay usable.
    setMinimumSize(qMax(400, m_toolbar->minimumSizeHint().width() + 101), 300);
}

void MainWindow::_nameParts()
{
    m_groupPanel->setAccessibleName(tr("Groups"));
    m_taskList->setAccessibleName(tr("Tasks"));
}

void MainWindow::_fitDefaultPanelWidth()
{
    // The default width fits the fixed groups' names in the interface's language; a width the
    // user chose stays.
    const int stored = settings()->groupPanelWidth();
    const bool moved = !settings()->compactView() && m_splitter->firstWidth() != 0 && m_splitter->firstWidth() != stored;
    if (stored != AppSettings::DefaultGroupPanelWidth || moved)
        return;
    const int fitting = qMax(int(AppSettings::DefaultGroupPanelWidth), m_groupPanel->widthForFixedGroups());
    if (fitting == settings()->groupPanelWidth())
        return;
    settings()->setGroupPanelWidth(fitting);
    if (!settings()->compactView())
        m_splitter->setFirstWidth(fitting);
}

MainWindow::~MainWindow()
{
    QRect frame = geometry();
    // Wayland tells no position: the one an X11 session saved stays for the next one.
    if (isWayland()) {
        const QRect saved = settings()->mainWindowFrame();
        const QScreen* screen = QGuiApplication::primaryScreen();
        frame.moveTopLeft(saved.isValid() ? saved.topLeft()
                                          : defaultFrame(screen ? screen->availableGeometry() : QRect()).topLeft());
    }
    settings()->setMainWindowFrame(frame);
    if (!settings()->compactView())
        settings()->setGroupPanelWidth(m_groupPanel->width());
}

namespace {

int& waylandOverride()
{
    static int wayland = -1;
    return wayland;
}

} // namespace

bool MainWindow::isWayland()
{
    if (waylandOverride() >= 0)
        return waylandOverride() == 1;
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void MainWindow::setWaylandForTests(bool wayland)
{
    waylandOverride() = wayland ? 1 : 0;
}

QRect MainWindow::defaultFrame(const QRect& screen)
{
    return QRect(screen.x() + screen.width() / 2 - 800 / 2, screen.y() + screen.height() / 2 - 450 / 2, 800, 450);
}

void MainWindow::showWindow()
{
    setWindowOpacity(1.0);
    show();
}

void MainWindow::setWriteFailure(const QString& reason)
{
    m_writeFailureBar->setReason(reason);
}

void MainWindow::showGroup(const FocusGroup::Id& groupId)
{
    m_groupPanel->selectGroup(m_groupPanel->rowOf(groupId) ? groupId : FocusGroup::inboxId());
    if (isMinimized())
        showNormal();
    else
        showWindow();
    raise();
    activateWindow();
}

void MainWindow::setView(bool compact, bool immediate)
{
    if (immediate) {
        if (compact) {
            m_splitter->setFirstWidth(0);
            m_rightPane->setGeometry(m_splitter->rect());
        } else {
            m_splitter->setFirstWidth(settings()->groupPanelWidth());
        }
        updateViewAction();
        return;
    }
    // A switch during a running one starts from where the pane is now.
    if (m_animation)
        m_animation->stop();
    auto* animation = new QPropertyAnimation(m_rightPane, "geometry", this);
    const QRect current = m_rightPane->geometry();
    if (compact) {
        settings()->setGroupPanelWidth(m_groupPanel->width());
        animation->setStartValue(current);
        animation->setEndValue(QRect(0, current.top(), width(), current.height()));
    } else {
        const int w = settings()->groupPanelWidth();
        QRect start = current;
        start.moveTop(0);
        const QRect end(w + m_splitter->handleWidth(), start.top(), width() - w - m_splitter->handleWidth(),
                        start.height());
        m_groupPanel->resize(w, m_groupPanel->height());
        m_splitter->setFirstWidth(w);
        animation->setStartValue(start);
        animation->setEndValue(end);
    }
    animation->setDuration(ViewAnimationMs);
    animation->setEasingCurve(QEasingCurve::InCubic);
    connect(animation, &QAbstractAnimation::finished, this, &MainWindow::_onSetViewAnimationFinished);
    m_animation = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void MainWindow::updateViewAction()
{
    QAction* action = toggleViewAction();
    if (settings()->compactView()) {
        action->setIcon(QIcon(QStringLiteral(":/icons/view_normal")));
        action->setText(tr("Normal"));
        m_splitter->setFirstWidth(0);
    } else {
        action->setIcon(QIcon(QStringLiteral(":/icons/view_compact")));
        action->setText(tr("Compact"));
        m_splitter->setFirstWidth(settings()->groupPanelWidth());
    }
}

void MainWindow::_onNewTask()
{
    // A new task belongs to a group: the one shown before the search.
    if (m_findBar->isOpen())
        m_findBar->close(true);
    m_taskList->newTask();
}

void MainWindow::_onEditTask()
{
    m_taskList->editSelected();
}

void MainWindow::_onCleanup()
{
    m_taskList->cleanup();
}

void MainWindow::_onSwitchView()
{
    const bool compact = !settings()->compactView();
    settings()->setCompactView(compact);
    setView(compact, false);
}

void MainWindow::_onGroupSelected(const FocusGroup::Id& groupId)
{
    const bool fixedArchive = groupId == FocusGroup::trashId() || groupId == FocusGroup::completedId();
    newTaskAction()->setEnabled(!fixedArchive);
    // A view holds no tasks of its own to clean up.
    cleanupAction()->setEnabled(!fixedArchive && !DueTasks::isView(groupId));
    importCalendarAction()->setEnabled(CalendarImport::takesFiles(groupId));
    // A group chosen while tasks are found ends the search.
    if (m_findBar->isOpen())
        m_findBar->close(false);
    m_taskList->setGroup(groupId);
    // Moving through the groups with the keyboard keeps the keys in the group panel.
    if (!m_groupPanel->hasFocus())
        m_taskList->setFocus();
}

void MainWindow::_onGroupChanged(const FocusGroup::Id& groupId)
{
    if (groupId.isNull() || groupId != m_taskList->group())
        return;
    m_taskList->refreshGroupInfo();
    m_taskList->setFocus();
}

void MainWindow::_onSetViewAnimationFinished()
{
    updateViewAction();
}

void MainWindow::setSyncService(sync::SyncService* service)
{
    if (m_sync)
        disconnect(m_sync, nullptr, this, nullptr);
    m_sync = service;
    m_toolbar->syncMark()->setService(service);
    if (service) {
        connect(service, &sync::SyncService::statusChanged, this, &MainWindow::_updateSyncAction);
        connect(service, &sync::SyncService::passwordRefused, this, &MainWindow::_onPasswordRefused);
    }
    _updateSyncAction();
}

sync::SyncService* MainWindow::syncService() const
{
    return m_sync;
}

void MainWindow::openPreferences(PrefsPage page)
{
    if (m_trayIcon) {
        m_trayIcon->openPreferences(page);
        return;
    }
    QPointer<PrefsDialog> dialog = new PrefsDialog(this, m_sync);
    dialog->showPage(page);
    dialog->exec();
    if (dialog)
        dialog->deleteLater();
}

void MainWindow::_updateSyncAction()
{
    syncNowAction()->setEnabled(m_sync && m_sync->isConfigured());
}

void MainWindow::_onSyncNow()
{
    if (!m_sync || !m_sync->isConfigured())
        return;
    m_askForPassword = true;
    if (!m_sync->hasPassword())
        PasswordPrompt::ask(this, m_sync, PasswordPrompt::Missing);
    else
        m_sync->syncNow();
}

void MainWindow::_onSyncMarkClicked()
{
    if (m_toolbar->syncMark()->needsAttention())
        openPreferences(PrefsPage::Sync);
    else
        _onSyncNow();
}

void MainWindow::_onPasswordRefused()
{
    if (!m_askForPassword)
        return;
    PasswordPrompt* prompt = PasswordPrompt::ask(this, m_sync, PasswordPrompt::Refused);
    if (prompt)
        connect(prompt, &QDialog::rejected, this, [this] { m_askForPassword = false; });
}

void MainWindow::_onImportCalendar()
{
    // The imported tasks are to be seen: a search ends, back to the group it started from.
    if (m_findBar->isOpen())
        m_findBar->close(true);
    CalendarImport::chooseAndImport(this, m_groupPanel->currentGroup());
}

void MainWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    raise();
    activateWindow();
}

TrayIcon* MainWindow::trayIcon() const
{
    return m_trayIcon;
}

void MainWindow::setTrayIcon(TrayIcon* trayIcon)
{
    if (m_trayIcon)
        disconnect(m_trayIcon, nullptr, this, nullptr);
    m_trayIcon = trayIcon;
    m_toolbar->setProgramMenu(trayIcon ? trayIcon->programMenu() : nullptr);
    if (trayIcon) {
        connect(trayIcon, &TrayIcon::trayAvailabilityChanged, this, &MainWindow::setTrayAvailable);
        setTrayAvailable(trayIcon->isTrayAvailable());
    }
}

void MainWindow::setTrayAvailable(bool available)
{
    m_trayAvailable = available;
}

void MainWindow::quitProgram()
{
    m_quitting = true;
    // exit() rather than quit(): it also ends the loop of a dialog that is open, and no window
    // is asked whether it may close.
    QCoreApplication::exit(0);
}

bool MainWindow::_hideOrMinimize()
{
    // Without a tray icon a hidden window could only come back through a second start: it is
    // minimised instead, where a taskbar can bring it back. Wayland lets no program restore a
    // minimised window, so there it hides, and a second start shows it.
    if (m_trayAvailable || m_quitting || isWayland()) {
        hide();
        return true;
    }
    showMinimized();
    return false;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Closing only hides the window: the program lives on in the tray.
    event->setAccepted(_hideOrMinimize());
}

void MainWindow::reject()
{
    // Escape that reaches the window during a search (from the results) ends the search.
    if (m_findBar->isOpen()) {
        m_findBar->close(true);
        return;
    }
    _hideOrMinimize();
}

void MainWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        if (m_trayIcon)
            m_trayIcon->retranslate();
        retranslateActions();
        m_undoCommands->updateActions();
        _nameParts();
        _fitDefaultPanelWidth();
    }
    QDialog::changeEvent(event);
}

void MainWindow::moveEvent(QMoveEvent* event)
{
    QDialog::moveEvent(event);
    Q_EMIT widgetMoved();
}
