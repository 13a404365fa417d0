#include "host/StartScreenshot.h"

#include <QCoreApplication>
#include <QPixmap>
#include <QTimer>
#include <cstdio>

#include "host/ui/FrameWindow.h"

namespace host {
namespace {

// Long enough for the first form's list and icons to be drawn.
constexpr int kSettleMs = 700;

std::string& PathStorage() {
    static std::string path;
    return path;
}

}  // namespace

void AskStartScreenshot(const std::string& hostPath) {
    PathStorage() = hostPath;
}

void ArrangeStartScreenshot() {
    if (PathStorage().empty()) {
        return;
    }
    QTimer::singleShot(kSettleMs, [] {
        const QString path = QString::fromStdString(PathStorage());
        if (!AppWindow().grab().save(path, "PNG")) {
            std::fprintf(stderr, "corvane: the picture cannot be saved to %s\n", PathStorage().c_str());
        }
        QCoreApplication::quit();
    });
}

}  // namespace host
