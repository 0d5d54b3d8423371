#include "base/identity.h"

QString companyName()
{
    return QStringLiteral("Velbrook");
}

QString productName()
{
    return QStringLiteral("Mirevo");
}

QString productFolderName()
{
    return QStringLiteral("Mirevo");
}

QString webSiteUrl()
{
    return QStringLiteral("http://velbrook.example/mirevo");
}

QString webSiteWithoutScheme()
{
    QString site = webSiteUrl();
    const qsizetype scheme = site.indexOf(QLatin1String("://"));
    if (scheme >= 0)
        site.remove(0, scheme + 3);
    return site;
}

QString donateUrl()
{
    return QStringLiteral("https://velbrook.example/mirevo/donate");
}

QString apiHost()
{
    return QStringLiteral("api.velbrook.example");
}

QString applicationId()
{
    return QStringLiteral("example.velbrook.mrv.linux");
}

QString installationId()
{
    return QStringLiteral("C8F31CA0-0667-467c-B205-B0A0291603E6");
}

QString singleInstanceId()
{
    return QStringLiteral("FAC47CC7-8B64-42cd-87FA-6D4A0C5149BF");
}

Version programVersion()
{
    return Version(0, 2, 642);
}

namespace {

Version& availableVersionValue()
{
    static Version value;
    return value;
}

} // namespace

Version availableVersion()
{
    return availableVersionValue();
}

void setAvailableVersion(const Version& version)
{
    availableVersionValue() = version;
}
