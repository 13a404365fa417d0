#include "host/ui/LayoutFile.h"

#include <QFile>
#include <QSet>
#include <QStringList>
#include <QXmlStreamReader>

#include "host/HostPaths.h"
#include "host/QtString.h"

namespace host::layout {
namespace {

using Osp::Base::E_FILE_NOT_FOUND;
using Osp::Base::E_INVALID_ARG;
using Osp::Base::E_INVALID_FORMAT;
using Osp::Base::E_SUCCESS;
using Osp::Base::result;

constexpr int kMaxCoordinate = 4000;

struct ElementRule {
    const char* type;
    const char* attributes;  // besides id and the placement attributes
    bool holdsControls;
};

const ElementRule kRules[] = {
    {"form", "style orientation title softkey0 softkey1", true},
    {"popup", "title size", true},
    {"Label", "text align valign textSize bold color background", false},
    {"Button", "text actionId primary", false},
    {"CheckButton", "text style checkedActionId uncheckedActionId checked", false},
    {"EditField", "text guide style input limit lowercase numeric", false},
    {"EditArea", "text guide input limit lowercase", false},
    {"List", "style format rowHeight column1 column2 emptyText", false},
    {"Progress", "min max value", false},
    {"ScrollPanel", "", true},
};

// Attributes that hold numbers, with their ranges.
struct NumberRule {
    const char* name;
    int min;
    int max;
};

const NumberRule kNumbers[] = {
    {"textSize", 8, 96},
    {"actionId", -1, 0x7FFFFFFF},
    {"checkedActionId", -1, 0x7FFFFFFF},
    {"uncheckedActionId", -1, 0x7FFFFFFF},
    {"limit", 1, 10000},
    {"rowHeight", 16, 400},
    {"column1", 0, kMaxCoordinate},
    {"column2", 0, kMaxCoordinate},
    {"min", -100000, 100000},
    {"max", -100000, 100000},
    {"value", -100000, 100000},
};

const ElementRule* RuleOf(const QString& type) {
    for (const ElementRule& rule : kRules) {
        if (type == QLatin1String(rule.type)) {
            return &rule;
        }
    }
    return nullptr;
}

bool ParseInts(const QString& text, int count, int min, int max, std::vector<int>& out) {
    const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != count) {
        return false;
    }
    out.clear();
    for (const QString& part : parts) {
        bool ok = false;
        const int v = part.toInt(&ok);
        if (!ok || v < min || v > max) {
            return false;
        }
        out.push_back(v);
    }
    return true;
}

std::optional<QRect> ParseRect(const QString& text) {
    std::vector<int> v;
    if (!ParseInts(text, 4, -kMaxCoordinate, kMaxCoordinate, v) || v[2] < 0 || v[3] < 0) {
        return std::nullopt;
    }
    return QRect(v[0], v[1], v[2], v[3]);
}

class Reader {
public:
    explicit Reader(const QByteArray& xml) : xml_(xml) {}

    result Read(Kind kind, Node& root) {
        if (!xml_.readNextStartElement()) {
            return E_INVALID_FORMAT;
        }
        const char* expected = kind == Kind::kForm ? "form" : "popup";
        if (xml_.name() != QLatin1String(expected) || !ReadElement(root, 0)) {
            return E_INVALID_FORMAT;
        }
        if (!root.Has(QStringLiteral("id")) || (kind == Kind::kPopup && !root.Has(QStringLiteral("size")))) {
            return E_INVALID_FORMAT;
        }
        while (!xml_.atEnd()) {
            xml_.readNext();
            if (xml_.isStartElement()) {
                return E_INVALID_FORMAT;  // one root only
            }
        }
        return xml_.hasError() ? E_INVALID_FORMAT : E_SUCCESS;
    }

private:
    bool ReadElement(Node& node, int depth) {
        node.type = xml_.name().toString();
        const ElementRule* rule = RuleOf(node.type);
        if (rule == nullptr || depth > kMaxDepth || ++count_ > kMaxControls) {
            return false;
        }
        const QSet<QString> allowed = AllowedAttributes(*rule, depth);
        for (const QXmlStreamAttribute& a : xml_.attributes()) {
            const QString name = a.name().toString();
            const QString value = a.value().toString();
            if (!allowed.contains(name) || value.size() > kMaxTextLength || !CheckNumber(name, value)) {
                return false;
            }
            node.attributes.insert(name, value);
        }
        if (depth > 0 && !ReadPlacement(node)) {
            return false;
        }
        if (node.Has(QStringLiteral("size"))) {
            std::vector<int> v;
            if (!ParseInts(node.Text(QStringLiteral("size")), 2, 1, kMaxCoordinate, v)) {
                return false;
            }
        }
        while (xml_.readNextStartElement()) {
            if (!rule->holdsControls) {
                return false;
            }
            node.children.emplace_back();
            if (!ReadElement(node.children.back(), depth + 1)) {
                return false;
            }
        }
        return !xml_.hasError();
    }

    static QSet<QString> AllowedAttributes(const ElementRule& rule, int depth) {
        QSet<QString> allowed;
        for (const QString& a :
             QString::fromLatin1(rule.attributes).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            allowed.insert(a);
        }
        allowed.insert(QStringLiteral("id"));
        if (depth > 0) {
            allowed.insert(QStringLiteral("bounds"));
            allowed.insert(QStringLiteral("portrait"));
            allowed.insert(QStringLiteral("landscape"));
        }
        return allowed;
    }

    static bool CheckNumber(const QString& name, const QString& value) {
        for (const NumberRule& rule : kNumbers) {
            if (name == QLatin1String(rule.name)) {
                bool ok = false;
                const long long v = value.toLongLong(&ok);
                return ok && v >= rule.min && v <= rule.max;
            }
        }
        return true;
    }

    static bool ReadPlacement(Node& node) {
        if (!node.Has(QStringLiteral("id"))) {
            return false;
        }
        if (node.Has(QStringLiteral("bounds"))) {
            if (node.Has(QStringLiteral("portrait")) || node.Has(QStringLiteral("landscape"))) {
                return false;
            }
            node.portrait = ParseRect(node.Text(QStringLiteral("bounds")));
            node.landscape = node.portrait;
            return node.portrait.has_value();
        }
        node.portrait = ParseRect(node.Text(QStringLiteral("portrait")));
        if (!node.portrait) {
            return false;
        }
        if (!node.Has(QStringLiteral("landscape"))) {
            node.landscape = node.portrait;
            return true;
        }
        node.landscape = ParseRect(node.Text(QStringLiteral("landscape")));
        return node.landscape.has_value();
    }

    QXmlStreamReader xml_;
    int count_ = 0;
};

bool ValidResourceId(const std::wstring& id) {
    if (id.empty() || id.size() > 64) {
        return false;
    }
    for (wchar_t c : id) {
        const bool ok =
            (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') || c == L'_';
        if (!ok) {
            return false;
        }
    }
    return true;
}

}  // namespace

int Node::Int(const QString& name, int fallback) const {
    bool ok = false;
    const int v = attributes.value(name).toInt(&ok);
    return ok ? v : fallback;
}

result Parse(const QByteArray& xml, Kind kind, Node& root) {
    if (xml.size() > kMaxFileBytes) {
        return E_INVALID_FORMAT;
    }
    root = Node();
    Reader reader(xml);
    return reader.Read(kind, root);
}

result Load(const std::wstring& resourceId, Kind kind, Node& root) {
    if (!ValidResourceId(resourceId)) {
        return E_INVALID_ARG;
    }
    std::string hostPath;
    if (MapPath(L"/Res/layouts/" + resourceId + L".xml", hostPath) != E_SUCCESS) {
        return E_FILE_NOT_FOUND;
    }
    QFile file(QString::fromStdString(hostPath));
    if (!file.open(QIODevice::ReadOnly)) {
        return E_FILE_NOT_FOUND;
    }
    if (file.size() > kMaxFileBytes) {
        return E_INVALID_FORMAT;
    }
    const result r = Parse(file.read(kMaxFileBytes + 1), kind, root);
    if (r == E_SUCCESS && root.Text(QStringLiteral("id")) != ToQString(resourceId)) {
        return E_INVALID_FORMAT;
    }
    return r;
}

}  // namespace host::layout
