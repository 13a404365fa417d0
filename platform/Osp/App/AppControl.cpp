#include "Osp/App/AppControl.h"

#include <sys/stat.h>

#include <QByteArray>
#include <QUrl>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/AppControlOpener.h"
#include "host/HostPaths.h"
#include "host/QtString.h"

namespace Osp::App {

using namespace Osp::Base;

namespace {

constexpr std::wstring_view kPathPrefix = L"path:";
constexpr std::wstring_view kUrlPrefix = L"url:";
constexpr std::wstring_view kFileScheme = L"file://";

result CollectArgs(const Collection::IList* args, std::vector<std::wstring>& out) {
    if (args == nullptr) {
        return E_INVALID_ARG;
    }
    for (int i = 0; i < args->GetCount(); ++i) {
        const auto* s = dynamic_cast<const String*>(args->GetAt(i));
        if (s == nullptr) {
            return E_INVALID_ARG;
        }
        out.push_back(s->Units());
    }
    return E_SUCCESS;
}

// The text after the prefix of the first argument that has it.
std::optional<std::wstring> FindArg(const std::vector<std::wstring>& args, std::wstring_view prefix) {
    for (const std::wstring& arg : args) {
        if (arg.starts_with(prefix)) {
            return arg.substr(prefix.size());
        }
    }
    return std::nullopt;
}

result FileUrl(const std::wstring& virtualPath, std::string& url) {
    std::string hostPath;
    result r = host::MapPath(virtualPath, hostPath);
    if (IsFailed(r)) {
        return r;
    }
    struct stat st;
    if (::stat(hostPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return E_FILE_NOT_FOUND;
    }
    const QByteArray bytes = QByteArray::fromStdString(hostPath);
    const QString path = QString::fromUtf8(bytes);
    // A name that is not UTF-8 (old media) would come out of a QString with replacement characters and
    // name another file: its bytes go into the address as they are, percent-encoded.
    url = path.toUtf8() == bytes ? QUrl::fromLocalFile(path).toEncoded().toStdString()
                                 : "file://" + bytes.toPercentEncoding("/").toStdString();
    return E_SUCCESS;
}

// Only web addresses go to the desktop as they are: any other scheme could start an arbitrary handler.
result WebUrl(const std::wstring& address, std::string& url) {
    QUrl parsed(host::ToQString(address), QUrl::StrictMode);
    if (!parsed.isValid() || (parsed.scheme() != u"http" && parsed.scheme() != u"https") ||
        parsed.host().isEmpty()) {
        return E_INVALID_ARG;
    }
    url = parsed.toEncoded().toStdString();
    return E_SUCCESS;
}

result BrowserUrl(const std::vector<std::wstring>& args, std::string& url) {
    std::optional<std::wstring> address = FindArg(args, kUrlPrefix);
    if (!address) {
        return E_INVALID_ARG;
    }
    if (address->starts_with(kFileScheme)) {
        return FileUrl(address->substr(kFileScheme.size()), url);
    }
    return WebUrl(*address, url);
}

result MediaUrl(const std::vector<std::wstring>& args, std::string& url) {
    std::optional<std::wstring> path = FindArg(args, kPathPrefix);
    if (!path) {
        return E_INVALID_ARG;
    }
    return FileUrl(*path, url);
}

}  // namespace

AppControl::AppControl(const String& appControlId, const String& operationId)
    : appControlId_(appControlId), operationId_(operationId) {}

AppControl::~AppControl() = default;

result AppControl::Start(const Collection::IList* args) {
    host::AppControlLaunch launch{appControlId_.Units(), operationId_.Units(), {}, {}};
    result r = CollectArgs(args, launch.args);
    if (IsFailed(r)) {
        return r;
    }
    bool browser = appControlId_.Units() == APPCONTROL_BROWSER;
    r = browser ? BrowserUrl(launch.args, launch.url) : MediaUrl(launch.args, launch.url);
    if (IsFailed(r)) {
        return r;
    }
    host::OpenAppControl(launch);
    return E_SUCCESS;
}

}  // namespace Osp::App
