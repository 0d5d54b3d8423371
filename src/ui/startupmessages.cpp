#include "ui/startupmessages.h"

#include "app/identity.h"

#include <QCoreApplication>
#include <QMessageBox>

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

QString siteWithoutScheme()
{
    QString site = webSiteUrl();
    if (site.startsWith(QLatin1String("http://")))
        site.remove(0, 7);
    return site;
}

} // namespace

QString databaseLoadFailureText(int result)
{
    const QString text = translated(result == 1 ? kNewerDatabase : kUnreadableDatabase);
    return text.arg(productName(), webSiteUrl(), siteWithoutScheme());
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
