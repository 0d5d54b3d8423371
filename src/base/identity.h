#pragma once

#include "base/version.h"

#include <QString>

// The program's fixed identity: names, addresses and its own version.
QString companyName();
QString productName();
QString productFolderName();
QString webSiteUrl();
/// The web page's address as shown to people: without "http://" or "https://".
QString webSiteWithoutScheme();
QString donateUrl();
/// Host name of the maker's service, without scheme.
QString apiHost();
QString applicationId();
QString installationId();
/// The fixed identity shared by every process of the program (single-instance peer).
QString singleInstanceId();
Version programVersion();

/// The newest version announced by the update check; invalid until one was announced.
/// Read and written on the user-interface thread only.
Version availableVersion();
void setAvailableVersion(const Version& version);
