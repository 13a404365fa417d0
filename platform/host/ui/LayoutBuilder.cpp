#include "host/ui/LayoutBuilder.h"

#include <QStringList>
#include <algorithm>
#include <memory>
#include <optional>

#include "Osp/Ui/Controls/Button.h"
#include "Osp/Ui/Controls/CheckButton.h"
#include "Osp/Ui/Controls/EditArea.h"
#include "Osp/Ui/Controls/EditField.h"
#include "Osp/Ui/Controls/Form.h"
#include "Osp/Ui/Controls/Label.h"
#include "Osp/Ui/Controls/List.h"
#include "Osp/Ui/Controls/Progress.h"
#include "Osp/Ui/Controls/ScrollPanel.h"
#include "host/QtString.h"
#include "host/ui/ButtonImpl.h"
#include "host/ui/ControlImpl.h"

namespace host::layout {
namespace {

using Osp::Base::E_INVALID_FORMAT;
using Osp::Base::E_SUCCESS;
using Osp::Base::result;
using Osp::Base::String;
using Osp::Graphics::Rectangle;
namespace C = Osp::Ui::Controls;

String Str(const Node& node, const char* name) {
    return String(FromQString(node.Text(QLatin1String(name))));
}

Rectangle ToRectangle(const QRect& r) {
    return Rectangle(r.x(), r.y(), r.width(), r.height());
}

// Maps an attribute's word to its value; false for a word that is not in the table.
template <typename T, size_t N>
bool Choose(const Node& node, const char* name, const std::pair<const char*, T> (&table)[N], T& out) {
    if (!node.Has(QLatin1String(name))) {
        return true;
    }
    const QString word = node.Text(QLatin1String(name));
    for (const auto& [key, value] : table) {
        if (word == QLatin1String(key)) {
            out = value;
            return true;
        }
    }
    return false;
}

std::unique_ptr<Osp::Ui::Control> MakeList(const Node& node, const Rectangle& rect) {
    static const std::pair<const char*, C::ListStyle> kStyles[] = {
        {"normal", C::LIST_STYLE_NORMAL},
        {"mark", C::LIST_STYLE_MARK},
        {"mark_with_divider", C::LIST_STYLE_MARK_WITH_DIVIDER},
    };
    static const std::pair<const char*, C::ListItemFormat> kFormats[] = {
        {"text", C::LIST_ITEM_SINGLE_TEXT},
        {"image_text", C::LIST_ITEM_SINGLE_IMAGE_TEXT},
        {"text_text", C::LIST_ITEM_SINGLE_TEXT_TEXT},
        {"image_text_text", C::LIST_ITEM_SINGLE_IMAGE_TEXT_TEXT},
    };
    C::ListStyle style = C::LIST_STYLE_NORMAL;
    C::ListItemFormat format = C::LIST_ITEM_SINGLE_TEXT;
    if (!Choose(node, "style", kStyles, style) || !Choose(node, "format", kFormats, format)) {
        return nullptr;
    }
    auto list = std::make_unique<C::List>();
    if (list->Construct(rect, style, format, node.Int(QStringLiteral("rowHeight"), 72), 0,
                        node.Int(QStringLiteral("column1"), 0),
                        node.Int(QStringLiteral("column2"), 0)) != E_SUCCESS) {
        return nullptr;
    }
    list->SetTextOfEmptyList(Str(node, "emptyText"));
    return list;
}

bool ParseColor(const Node& node, const char* name, Osp::Graphics::Color& out) {
    const QColor color(node.Text(QLatin1String(name)));
    if (!color.isValid()) {
        return false;
    }
    out = Osp::Graphics::Color(static_cast<uint8_t>(color.red()), static_cast<uint8_t>(color.green()),
                               static_cast<uint8_t>(color.blue()), static_cast<uint8_t>(color.alpha()));
    return true;
}

std::unique_ptr<Osp::Ui::Control> MakeLabel(const Node& node, const Rectangle& rect) {
    static const std::pair<const char*, C::HorizontalAlignment> kAlign[] = {
        {"left", C::ALIGNMENT_LEFT}, {"center", C::ALIGNMENT_CENTER}, {"right", C::ALIGNMENT_RIGHT}};
    static const std::pair<const char*, C::VerticalAlignment> kVAlign[] = {
        {"top", C::ALIGNMENT_TOP}, {"middle", C::ALIGNMENT_MIDDLE}, {"bottom", C::ALIGNMENT_BOTTOM}};
    C::HorizontalAlignment align = C::ALIGNMENT_LEFT;
    C::VerticalAlignment valign = C::ALIGNMENT_MIDDLE;
    if (!Choose(node, "align", kAlign, align) || !Choose(node, "valign", kVAlign, valign)) {
        return nullptr;
    }
    auto label = std::make_unique<C::Label>();
    if (label->Construct(rect, Str(node, "text")) != E_SUCCESS) {
        return nullptr;
    }
    label->SetTextHorizontalAlignment(align);
    label->SetTextVerticalAlignment(valign);
    label->SetTextConfig(node.Int(QStringLiteral("textSize"), 20), node.Flag(QStringLiteral("bold"))
                                                                       ? C::LABEL_TEXT_STYLE_BOLD
                                                                       : C::LABEL_TEXT_STYLE_NORMAL);
    for (const char* name : {"color", "background"}) {
        if (node.Has(QLatin1String(name))) {
            Osp::Graphics::Color color;
            if (!ParseColor(node, name, color)) {
                return nullptr;
            }
            if (QLatin1String(name) == QLatin1String("color")) {
                label->SetTextColor(color);
            } else {
                label->SetBackgroundColor(color);
            }
        }
    }
    return label;
}

std::unique_ptr<Osp::Ui::Control> MakeButton(const Node& node, const Rectangle& rect) {
    auto button = std::make_unique<C::Button>();
    if (button->Construct(rect, Str(node, "text")) != E_SUCCESS) {
        return nullptr;
    }
    button->SetActionId(node.Int(QStringLiteral("actionId"), -1));
    button->GetButtonImpl().primary = node.Flag(QStringLiteral("primary"));
    return button;
}

std::unique_ptr<Osp::Ui::Control> MakeCheckButton(const Node& node, const Rectangle& rect) {
    static const std::pair<const char*, C::CheckButtonStyle> kStyles[] = {
        {"mark", C::CHECK_BUTTON_STYLE_MARK},
        {"onoff", C::CHECK_BUTTON_STYLE_ONOFF},
        {"radio", C::CHECK_BUTTON_STYLE_RADIO}};
    C::CheckButtonStyle style = C::CHECK_BUTTON_STYLE_MARK;
    if (!Choose(node, "style", kStyles, style)) {
        return nullptr;
    }
    auto check = std::make_unique<C::CheckButton>();
    if (check->Construct(rect, style, C::BACKGROUND_STYLE_DEFAULT, false, Str(node, "text")) != E_SUCCESS) {
        return nullptr;
    }
    check->SetActionId(node.Int(QStringLiteral("checkedActionId"), -1),
                       node.Int(QStringLiteral("uncheckedActionId"), -1));
    check->SetSelected(node.Flag(QStringLiteral("checked")));
    return check;
}

bool InputStyleOf(const Node& node, C::InputStyle& out) {
    static const std::pair<const char*, C::InputStyle> kInputs[] = {{"fullscreen", C::INPUT_STYLE_FULLSCREEN},
                                                                    {"overlay", C::INPUT_STYLE_OVERLAY}};
    return Choose(node, "input", kInputs, out);
}

std::unique_ptr<Osp::Ui::Control> MakeEditField(const Node& node, const Rectangle& rect) {
    static const std::pair<const char*, C::EditFieldStyle> kStyles[] = {
        {"normal", C::EDIT_FIELD_STYLE_NORMAL}, {"password", C::EDIT_FIELD_STYLE_PASSWORD}};
    C::EditFieldStyle style = C::EDIT_FIELD_STYLE_NORMAL;
    C::InputStyle input = C::INPUT_STYLE_FULLSCREEN;
    if (!Choose(node, "style", kStyles, style) || !InputStyleOf(node, input)) {
        return nullptr;
    }
    auto field = std::make_unique<C::EditField>();
    if (field->Construct(rect, style, input, false, node.Int(QStringLiteral("limit"), 100)) != E_SUCCESS) {
        return nullptr;
    }
    field->SetText(Str(node, "text"));
    field->SetGuideText(Str(node, "guide"));
    field->SetLowerCaseModeEnabled(node.Flag(QStringLiteral("lowercase")));
    if (node.Flag(QStringLiteral("numeric"))) {
        field->SetInputModeCategory(
            C::EDIT_INPUTMODE_ALPHA | C::EDIT_INPUTMODE_PREDICTIVE | C::EDIT_INPUTMODE_SYMBOL, false);
    }
    return field;
}

std::unique_ptr<Osp::Ui::Control> MakeEditArea(const Node& node, const Rectangle& rect) {
    C::InputStyle input = C::INPUT_STYLE_FULLSCREEN;
    if (!InputStyleOf(node, input)) {
        return nullptr;
    }
    auto area = std::make_unique<C::EditArea>();
    if (area->Construct(rect, input, node.Int(QStringLiteral("limit"), 1000)) != E_SUCCESS) {
        return nullptr;
    }
    area->SetText(Str(node, "text"));
    area->SetGuideText(Str(node, "guide"));
    area->SetLowerCaseModeEnabled(node.Flag(QStringLiteral("lowercase")));
    return area;
}

std::unique_ptr<Osp::Ui::Control> MakeProgress(const Node& node, const Rectangle& rect) {
    auto progress = std::make_unique<C::Progress>();
    if (progress->Construct(rect, node.Int(QStringLiteral("min"), 0), node.Int(QStringLiteral("max"), 100)) !=
        E_SUCCESS) {
        return nullptr;
    }
    progress->SetValue(node.Int(QStringLiteral("value"), 0));
    return progress;
}

std::unique_ptr<Osp::Ui::Control> MakeScrollPanel(const Node&, const Rectangle& rect) {
    auto panel = std::make_unique<C::ScrollPanel>();
    if (panel->Construct(rect) != E_SUCCESS) {
        return nullptr;
    }
    return panel;
}

std::unique_ptr<Osp::Ui::Control> MakeControl(const Node& node, const Rectangle& rect) {
    using Maker = std::unique_ptr<Osp::Ui::Control> (*)(const Node&, const Rectangle&);
    static const std::pair<const char*, Maker> kMakers[] = {
        {"Label", MakeLabel},         {"Button", MakeButton},           {"CheckButton", MakeCheckButton},
        {"EditField", MakeEditField}, {"EditArea", MakeEditArea},       {"List", MakeList},
        {"Progress", MakeProgress},   {"ScrollPanel", MakeScrollPanel},
    };
    for (const auto& [type, make] : kMakers) {
        if (node.type == QLatin1String(type)) {
            return make(node, rect);
        }
    }
    return nullptr;
}

}  // namespace

unsigned long FormStyleOf(const Node& root) {
    static const std::pair<const char*, unsigned long> kFlags[] = {
        {"title", C::FORM_STYLE_TITLE},         {"indicator", C::FORM_STYLE_INDICATOR},
        {"softkey0", C::FORM_STYLE_SOFTKEY_0},  {"softkey1", C::FORM_STYLE_SOFTKEY_1},
        {"optionkey", C::FORM_STYLE_OPTIONKEY},
    };
    unsigned long style = C::FORM_STYLE_NORMAL;
    for (const QString& word :
         root.Text(QStringLiteral("style")).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        for (const auto& [name, flag] : kFlags) {
            if (word == QLatin1String(name)) {
                style |= flag;
            }
        }
    }
    return style;
}

Osp::Ui::Orientation OrientationOf(const Node& root) {
    const QString word = root.Text(QStringLiteral("orientation"));
    if (word == QLatin1String("landscape")) {
        return Osp::Ui::ORIENTATION_LANDSCAPE;
    }
    if (word == QLatin1String("automatic")) {
        return Osp::Ui::ORIENTATION_AUTOMATIC;
    }
    return Osp::Ui::ORIENTATION_PORTRAIT;
}

result BuildChildren(const Node& node, Osp::Ui::Container& into, bool landscape) {
    for (const Node& child : node.children) {
        const QRect place = landscape ? *child.landscape : *child.portrait;
        std::unique_ptr<Osp::Ui::Control> control = MakeControl(child, ToRectangle(place));
        if (!control) {
            return E_INVALID_FORMAT;
        }
        Osp::Ui::Control::Impl& impl = control->GetControlImpl();
        impl.name = Str(child, "id");
        impl.portraitBounds = ToRectangle(*child.portrait);
        impl.landscapeBounds = ToRectangle(*child.landscape);
        if (auto* container = dynamic_cast<Osp::Ui::Container*>(control.get())) {
            const result r = BuildChildren(child, *container, landscape);
            if (r != E_SUCCESS) {
                return r;
            }
        }
        if (into.AddControl(*control) != E_SUCCESS) {
            return E_INVALID_FORMAT;
        }
        control.release();  // the container owns it now
    }
    return E_SUCCESS;
}

}  // namespace host::layout

namespace host {

namespace {

// How close to a container's edge a control's edge is still taken as lying on it.
constexpr int kEdgeSlack = 24;
// The least height a stretched control keeps, so that one row of it stays usable.
constexpr int kMinStretchedHeight = 72;

bool Stretches(const Osp::Ui::Control& control) {
    return dynamic_cast<const Osp::Ui::Controls::List*>(&control) != nullptr ||
           dynamic_cast<const Osp::Ui::Controls::ScrollPanel*>(&control) != nullptr ||
           dynamic_cast<const Osp::Ui::Controls::EditArea*>(&control) != nullptr;
}

const std::optional<Osp::Graphics::Rectangle>& PlaceOf(const Osp::Ui::Control& control, bool landscape) {
    const Osp::Ui::Control::Impl& impl = control.GetControlImpl();
    return landscape ? impl.landscapeBounds : impl.portraitBounds;
}

// The layout control that takes the extra height: the tallest one that stretches.
const Osp::Ui::Control* Stretcher(Osp::Ui::Container& container, bool landscape) {
    const Osp::Ui::Control* best = nullptr;
    int bestHeight = -1;
    for (int i = 0; i < container.GetControlCount(); ++i) {
        const Osp::Ui::Control* child = container.GetControl(i);
        const auto& place = PlaceOf(*child, landscape);
        if (place && Stretches(*child) && place->height > bestHeight) {
            best = child;
            bestHeight = place->height;
        }
    }
    return best;
}

}  // namespace

void PlaceForOrientation(Osp::Ui::Container& container, bool landscape, const QSize& design,
                         const QSize& actual) {
    const int extraWidth = actual.width() - design.width();
    const Osp::Ui::Control* stretcher = Stretcher(container, landscape);
    int stretchedBottom = 0;
    int shift = 0;
    if (stretcher != nullptr) {
        const Osp::Graphics::Rectangle& place = *PlaceOf(*stretcher, landscape);
        const int height = std::max(std::min(place.height, kMinStretchedHeight),
                                    place.height + actual.height() - design.height());
        stretchedBottom = place.y + place.height;
        shift = height - place.height;
    }
    for (int i = 0; i < container.GetControlCount(); ++i) {
        Osp::Ui::Control* child = container.GetControl(i);
        const auto& place = PlaceOf(*child, landscape);
        if (!place) {
            continue;
        }
        Osp::Graphics::Rectangle r = *place;
        if (r.x <= kEdgeSlack && r.x + r.width >= design.width() - kEdgeSlack) {
            r.width = std::max(0, r.width + extraWidth);
        }
        if (child == stretcher) {
            r.height += shift;
        } else if (stretcher != nullptr && r.y >= stretchedBottom) {
            r.y += shift;
        }
        child->SetBounds(r);
        if (auto* inner = dynamic_cast<Osp::Ui::Container*>(child)) {
            PlaceForOrientation(*inner, landscape, QSize(place->width, place->height),
                                QSize(r.width, r.height));
        }
    }
}

void RefitChildren(Osp::Ui::Container& container) {
    for (int i = 0; i < container.GetControlCount(); ++i) {
        Osp::Ui::Control* child = container.GetControl(i);
        child->SetBounds(child->GetBounds());
        if (auto* inner = dynamic_cast<Osp::Ui::Container*>(child)) {
            RefitChildren(*inner);
        }
    }
}

}  // namespace host
