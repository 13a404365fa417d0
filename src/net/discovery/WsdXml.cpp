#include "net/discovery/WsdXml.h"

#include "Osp/Xml/XmlReader.h"

bool WalkXml(const void* data, std::size_t length, std::size_t maxTextUnits,
             const std::function<bool(const XmlPath& path, const std::wstring& text)>& onEnd) {
    using namespace Osp::Xml;
    XmlReader reader(data, length, XmlReaderLimits());
    XmlPath path;
    std::vector<std::wstring> texts;
    while (true) {
        switch (reader.ReadNext()) {
            case XML_TOKEN_START_ELEMENT:
                path.push_back({reader.NamespaceUri(), reader.LocalName()});
                texts.emplace_back();
                break;
            case XML_TOKEN_TEXT:
                if (texts.empty()) {
                    break;  // white space outside the root
                }
                if (texts.back().size() + reader.Text().size() > maxTextUnits) {
                    return false;
                }
                texts.back() += reader.Text();
                break;
            case XML_TOKEN_END_ELEMENT:
                if (path.empty() || !onEnd(path, texts.back())) {
                    return false;
                }
                path.pop_back();
                texts.pop_back();
                break;
            case XML_TOKEN_END_DOCUMENT:
                return path.empty();
            case XML_TOKEN_ERROR:
                return false;
        }
    }
}

bool PathEndsWith(const XmlPath& path, std::initializer_list<XmlStep> steps) {
    if (path.size() < steps.size()) {
        return false;
    }
    size_t i = path.size() - steps.size();
    for (const XmlStep& step : steps) {
        if (path[i].ns != step.ns || path[i].local != step.local) {
            return false;
        }
        ++i;
    }
    return true;
}

std::wstring TrimXmlSpace(const std::wstring& text) {
    const wchar_t* space = L" \t\r\n";
    size_t first = text.find_first_not_of(space);
    if (first == std::wstring::npos) {
        return std::wstring();
    }
    size_t last = text.find_last_not_of(space);
    return text.substr(first, last - first + 1);
}
