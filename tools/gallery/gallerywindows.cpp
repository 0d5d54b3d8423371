#include "gallerywindows.h"

#include "base/identity.h"
#include "core/duetasks.h"
#include "core/taskcore.h"
#include "settings/appsettings.h"
#include "settings/languagemanager.h"
#include "store/repeatrule.h"
#include "store/taskstorage.h"
#include "sync/syncservice.h"
#include "ui/aboutdialog.h"
#include "ui/editgroupdialog.h"
#include "ui/euladialog.h"
#include "ui/exportdialog.h"
#include "ui/findbar.h"
#include "ui/focusgrouplistwidget.h"
#include "ui/installwizard.h"
#include "ui/mainwindow.h"
#include "ui/passwordprompt.h"
#include "ui/prefsdialog.h"
#include "ui/repeatbutton.h"
#include "ui/repeatdialog.h"
#include "ui/tasklistwidget.h"
#include "ui/taskwidget.h"
#include "ui/toolbar.h"
#include "ui/trayicon.h"
#include "widgets/colorscheme.h"
#include "widgets/fancylineedit.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>

namespace gallery {

namespace {

bool save(QWidget* widget, const QString& path)
{
    widget->ensurePolished();
    QCoreApplication::processEvents();
    return widget->grab().save(path);
}

FocusGroup::Id fillStore(TaskStorage& store)
{
    const FocusGroup::Id home = store.addGroup(QStringLiteral("Home"), QStringLiteral("home"));
    const QDateTime noon(QDate::currentDate(), QTime(12, 0));
    const struct
    {
        const char* name;
        const char* notes;
        int dueInDays;
        const char* repeat;
    } tasks[] = {{"Pay the electricity bill", "", -1, "FREQ=MONTHLY;BYMONTHDAY=-1"},
                 {"Fix the kitchen tap", "washer size 3/4\nask the neighbour for the wrench", 2, ""},
                 {"Plan the summer trip", "", 30, ""},
                 {"", "", 100000, ""}};
    for (const auto& task : tasks) {
        const TodoTask::Id id = store.createTask(home);
        store.setTaskName(id, QString::fromUtf8(task.name));
        store.setTaskNotes(id, QString::fromUtf8(task.notes));
        if (task.dueInDays < 1000)
            store.setTaskDue(id, noon.addDays(task.dueInDays));
        store.setTaskRepeat(id, QString::fromUtf8(task.repeat));
    }
    return home;
}

bool languageWindows(const QString& folder, const FocusGroup::Id& home)
{
    bool ok = true;
    auto* window = new MainWindow;
    auto* tray = new TrayIcon(window, nullptr);
    window->setTrayIcon(tray);
    window->resize(800, 450);
    window->show();
    ok = save(window, folder + QStringLiteral("/mainwindow-inbox.png")) && ok;
    window->groupPanel()->selectGroup(home);
    window->taskList()->setEditing(1);
    ok = save(window, folder + QStringLiteral("/mainwindow-editor.png")) && ok;
    if (TaskWidget* row = window->taskList()->editedRow()) {
        QMenu* menu = row->repeatButton()->repeatMenu();
        menu->popup(row->repeatButton()->mapToGlobal(QPoint(0, row->repeatButton()->height())));
        ok = save(menu, folder + QStringLiteral("/repeat-menu.png")) && ok;
        menu->close();
    }
    {
        RepeatDialog repeat(RepeatRule::parse(QStringLiteral("FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH")),
                            QDate::currentDate(), window);
        repeat.show();
        ok = save(&repeat, folder + QStringLiteral("/repeat-custom.png")) && ok;
    }
    window->taskList()->setEditing(-1);
    window->groupPanel()->selectGroup(DueTasks::viewId(DueTasks::Today));
    ok = save(window, folder + QStringLiteral("/mainwindow-today.png")) && ok;
    window->groupPanel()->selectGroup(DueTasks::viewId(DueTasks::Upcoming));
    ok = save(window, folder + QStringLiteral("/mainwindow-upcoming.png")) && ok;
    window->groupPanel()->selectGroup(home);
    window->findBar()->open();
    window->findBar()->edit()->setText(QStringLiteral("the"));
    ok = save(window, folder + QStringLiteral("/mainwindow-find.png")) && ok;
    window->findBar()->close(true);
    window->groupPanel()->selectGroup(FocusGroup::trashId());
    window->setTrayAvailable(false);
    ok = save(window, folder + QStringLiteral("/mainwindow-trash-no-tray.png")) && ok;
    window->setTrayAvailable(true);

    ok = save(tray->menu(), folder + QStringLiteral("/tray-menu.png")) && ok;
    {
        PrefsDialog prefs(window);
        prefs.show();
        ok = save(&prefs, folder + QStringLiteral("/preferences.png")) && ok;
    }
    sync::SyncService* service = TaskCore::instance()->syncService();
    {
        service->setAccount(QUrl(), QString(), QString());
        PrefsDialog prefs(window, service);
        prefs.showPage(PrefsPage::Sync);
        prefs.show();
        ok = save(&prefs, folder + QStringLiteral("/preferences-sync-off.png")) && ok;
        prefs.findChild<QLineEdit*>(QStringLiteral("serverEdit"))->setText(QStringLiteral("http://dav.example.org/tasks/"));
        prefs.findChild<QLineEdit*>(QStringLiteral("userEdit"))->setText(QStringLiteral("ana"));
        prefs.accept();
        ok = save(&prefs, folder + QStringLiteral("/preferences-sync-error.png")) && ok;
    }
    const QUrl server(QStringLiteral("https://dav.example.org/tasks/"));
    AppSettings::settings()->setSyncServer(server);
    AppSettings::settings()->setSyncUser(QStringLiteral("ana"));
    service->setAccount(server, QStringLiteral("ana"), QStringLiteral("pw"));
    {
        PrefsDialog prefs(window, service);
        prefs.showPage(PrefsPage::Sync);
        prefs.show();
        ok = save(&prefs, folder + QStringLiteral("/preferences-sync.png")) && ok;
    }
    window->setSyncService(service);
    window->groupPanel()->selectGroup(FocusGroup::inboxId());
    ok = save(window, folder + QStringLiteral("/mainwindow-sync.png")) && ok;
    service->setAccount(QUrl(QStringLiteral("https://dav.example.org/tasks/")), QStringLiteral("ana"), QString());
    ok = save(window->toolbar(), folder + QStringLiteral("/toolbar-sync-attention.png")) && ok;
    {
        PasswordPrompt prompt(window, service, PasswordPrompt::Refused);
        prompt.show();
        ok = save(&prompt, folder + QStringLiteral("/password-prompt.png")) && ok;
    }
    window->setSyncService(nullptr);
    service->setAccount(QUrl(), QString(), QString());
    AppSettings::settings()->setSyncServer(QUrl());
    AppSettings::settings()->setSyncUser(QString());
    {
        setAvailableVersion(Version(0, 3, 0));
        AboutDialog about(window);
        about.show();
        ok = save(&about, folder + QStringLiteral("/about.png")) && ok;
        setAvailableVersion(Version());
    }
    {
        EulaDialog eula(window, EulaDialog::licenseText(), true);
        eula.show();
        ok = save(&eula, folder + QStringLiteral("/licence.png")) && ok;
    }
    {
        EditGroupDialog edit(QStringLiteral("Home"), QStringLiteral("home"), window);
        edit.show();
        ok = save(&edit, folder + QStringLiteral("/group-properties.png")) && ok;
    }
    if (ExportDialog* exportDialog = showExportDialog(window)) {
        ok = save(exportDialog, folder + QStringLiteral("/export.png")) && ok;
        exportDialog->close();
    }
    {
        InstallWizard install;
        install.show();
        ok = save(&install, folder + QStringLiteral("/install-welcome.png")) && ok;
        install.setCurrentPage(2);
        ok = save(&install, folder + QStringLiteral("/install-options.png")) && ok;
        install.setCurrentPage(3);
        ok = save(&install, folder + QStringLiteral("/install-progress.png")) && ok;
        UninstallWizard uninstall;
        uninstall.show();
        ok = save(&uninstall, folder + QStringLiteral("/uninstall.png")) && ok;
    }
    delete tray;
    delete window;
    return ok;
}

} // namespace

bool windowsGallery(const QString& folder)
{
    QTemporaryDir dir;
    if (!TaskCore::instance()->storage() && TaskCore::instance()->init(dir.filePath(QStringLiteral("windows.xml")), 3600000) != 0)
        return false;
    const FocusGroup::Id home = fillStore(*TaskCore::instance()->storage());
    bool ok = true;
    for (const QString& language : languageManager()->availableLanguages()) {
        const QString out = folder + QStringLiteral("/windows/") + language;
        ok = QDir().mkpath(out) && languageManager()->setLanguage(language) && ok;
        ok = languageWindows(out, home) && ok;
    }
    languageManager()->setLanguage(LanguageManager::englishLanguage());
    const QPalette light = QApplication::palette();
    QApplication::setPalette(ColorScheme::typicalDarkPalette());
    const QString dark = folder + QStringLiteral("/windows/dark");
    ok = QDir().mkpath(dark) && languageWindows(dark, home) && ok;
    QApplication::setPalette(light);
    TaskCore::destroy();
    return ok;
}

} // namespace gallery
