#include "ui/startupmessages.h"

#include "app/identity.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("main", text);
}

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
    const QString text = result == 1
        ? tr("<p>The task database was created with a newer version of %1 application.</p>"
             "<p>Please visit <a href=\"%2\">%3</a> to upgrade your installation.</p>")
        : tr("<p>Task database failed to load for some reason. %1 can not continue to avoid further "
             "database corruption.</p><p>Please visit <a href=\"%2\">%3</a> and request help.</p>");
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
    return (install ? tr("%1 installation") : tr("%1 uninstallation")).arg(productName());
}

QString instanceRunningText()
{
    return tr("Please close all %1 windows, exit from tray icon and try again.").arg(productName());
}

void showInstanceRunningWarning(bool install)
{
    QMessageBox::warning(nullptr, instanceRunningTitle(install), instanceRunningText(), QMessageBox::Ok);
}
