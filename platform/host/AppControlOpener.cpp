#include "host/AppControlOpener.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace host {

namespace {

AppControlOpener& Opener() {
    static AppControlOpener opener;
    return opener;
}

}  // namespace

void SetAppControlOpener(AppControlOpener opener) {
    Opener() = std::move(opener);
}

void OpenAppControl(const AppControlLaunch& launch) {
    if (Opener()) {
        Opener()(launch);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromEncoded(QByteArray::fromStdString(launch.url), QUrl::StrictMode));
}

}  // namespace host
