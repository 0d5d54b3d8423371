#include "ui/startupmessages.h"

#include "base/identity.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>
#include <QDir>
#include <QMessageBox>
#include <QStringList>

namespace {

QString translated(const char* text)
{
    return QCoreApplication::translate("main", text);
}

const char* const kNewerDatabase =
    QT_TRANSLATE_NOOP("main", "<p>The task database was created with a newer version of %1 application.</p>"
                              "<p>Please visit <a href=\"%2\">%3</a> to upgrade your installation.</p>");
const char* const kUnreadableDatabase =
    QT_TRANSLATE_NOOP("main", "<p>Task database failed to load for some reason. %1 can not continue to avoid "
                              "further database corruption.</p><p>Please visit <a href=\"%2\">%3</a> and request "
                              "help.</p>");
const char* const kInstallTitle = QT_TRANSLATE_NOOP("main", "%1 installation");
const char* const kUninstallTitle = QT_TRANSLATE_NOOP("main", "%1 uninstallation");
const char* const kInstanceRunning =
    QT_TRANSLATE_NOOP("main", "Please close all %1 windows, exit from tray icon and try again.");

} // namespace

QString databaseLoadFailureText(int result)
{
    const QString text = translated(result == 1 ? kNewerDatabase : kUnreadableDatabase);
    return text.arg(productName(), webSiteUrl(), webSiteWithoutScheme());
}

void showDatabaseLoadFailure(int result)
{
    QMessageBox box(QMessageBox::Critical, productName(), databaseLoadFailureText(result), QMessageBox::Ok);
    box.setTextFormat(Qt::RichText);
    box.setTextInteractionFlags(Qt::TextBrowserInteraction);
    box.exec();
}

QString instanceRunningTitle(bool install)
{
    return translated(install ? kInstallTitle : kUninstallTitle).arg(productName());
}

QString instanceRunningText()
{
    return translated(kInstanceRunning).arg(productName());
}

void showInstanceRunningWarning(bool install)
{
    QMessageBox::warning(nullptr, instanceRunningTitle(install), instanceRunningText(), QMessageBox::Ok);
}

QString backupQuestionText(const QDateTime& backupTime, int tasks)
{
    // English has no translation to pick the singular, so one task has its own text.
    const QString text = tasks == 1
        ? QCoreApplication::translate("main", "The task database is damaged. Start with the backup from %1 (1 task)?")
        : QCoreApplication::translate("main", "The task database is damaged. Start with the backup from %1 (%n tasks)?",
                                      nullptr, tasks);
    // The system's order of day and month, whatever the interface language.
    return text.arg(QLocale().toString(backupTime, QLocale::system().dateTimeFormat(QLocale::ShortFormat)));
}

bool askStartFromBackup(const QDateTime& backupTime, int tasks)
{
    QMessageBox box(QMessageBox::Warning, productName(), backupQuestionText(backupTime, tasks),
                    QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

QString rescueCopyText(const QStringList& copies, const QString& databasePath)
{
    return QCoreApplication::translate("main", "When %1 last ended it could not write your tasks to %2. Your tasks as they "
                                               "were then are kept in this copy:\n\n%3\n\nTo go on from the copy, quit %1 "
                                               "and put the copy in place of %2.")
        .arg(productName(), QDir::toNativeSeparators(databasePath), QDir::toNativeSeparators(copies.value(0)));
}

void showRescueCopyNotice(const QStringList& copies, const QString& databasePath)
{
    auto* box = new QMessageBox(QMessageBox::Warning, productName(), rescueCopyText(copies, databasePath), QMessageBox::Ok);
    box->setObjectName(QStringLiteral("rescueCopyNotice"));
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
