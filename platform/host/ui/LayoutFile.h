#pragma once
// Layout files: "/Res/layouts/<resource id>.xml" describes one form or popup and its controls.
//
//   <form id="IDF_X" style="title softkey0 softkey1 optionkey" orientation="automatic"
//         title="..." softkey0="..." softkey1="...">
//     <List id="IDC_Y" portrait="x y w h" landscape="x y w h" style="..." .../>
//     <ScrollPanel id="IDC_Z" bounds="x y w h"> ...controls... </ScrollPanel>
//   </form>
//   <popup id="IDP_X" title="..." size="w h"> ...controls... </popup>
//
// A control has "bounds" (both orientations) or "portrait" with an optional "landscape". Which
// elements and attributes exist, and their ranges, are checked while reading; anything else makes the
// file invalid. Files are small: size, nesting, number of controls and text lengths are bounded.

#include <QByteArray>
#include <QHash>
#include <QRect>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "Osp/Base/Result.h"

namespace host::layout {

enum class Kind { kForm, kPopup };

struct Node {
    QString type;
    QHash<QString, QString> attributes;
    std::optional<QRect> portrait;
    std::optional<QRect> landscape;
    std::vector<Node> children;

    QString Text(const QString& name) const { return attributes.value(name); }
    bool Has(const QString& name) const { return attributes.contains(name); }
    // A numeric attribute (already checked to be a number in range) or the fallback.
    int Int(const QString& name, int fallback) const;
    bool Flag(const QString& name) const { return attributes.value(name) == QLatin1String("true"); }
};

inline constexpr qsizetype kMaxFileBytes = 64 * 1024;
inline constexpr int kMaxControls = 128;
inline constexpr int kMaxDepth = 3;
inline constexpr qsizetype kMaxTextLength = 512;

// Reads the layout of the resource identifier (letters, digits and '_' only). E_FILE_NOT_FOUND when
// there is no such layout, E_INVALID_FORMAT when it is not a valid layout of the kind.
Osp::Base::result Load(const std::wstring& resourceId, Kind kind, Node& root);
Osp::Base::result Parse(const QByteArray& xml, Kind kind, Node& root);

}  // namespace host::layout
