#include "app/FolderTies.h"

#include "archive/FsZipBrowser.h"
#include "net/NetBrowser.h"

bool RestsOnFolder(const IFsBrowser* browser, const RemoteFolder* folder) {
    while (const auto* archive = dynamic_cast<const ZipBrowser*>(browser)) {
        browser = archive->GetHostBrowser();
    }
    const auto* share = dynamic_cast<const NetBrowser*>(browser);
    return share != nullptr && share->GetFolder() == folder;
}

bool RestsOnBrowser(const IFsBrowser* browser, const IFsBrowser* base) {
    while (const auto* archive = dynamic_cast<const ZipBrowser*>(browser)) {
        browser = archive->GetHostBrowser();
    }
    return browser != nullptr && browser == base;
}
