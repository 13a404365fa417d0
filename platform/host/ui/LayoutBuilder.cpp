#include "host/ui/LayoutBuilder.h"

#include <QStringList>
#include <memory>

#include "Osp/Ui/Controls/Form.h"
#include "Osp/Ui/Controls/List.h"
#include "host/QtString.h"
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

std::unique_ptr<Osp::Ui::Control> MakeControl(const Node& node, const Rectangle& rect) {
    if (node.type == QLatin1String("List")) {
        return MakeList(node, rect);
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

void PlaceForOrientation(Osp::Ui::Container& container, bool landscape) {
    for (int i = 0; i < container.GetControlCount(); ++i) {
        Osp::Ui::Control* child = container.GetControl(i);
        const Osp::Ui::Control::Impl& impl = child->GetControlImpl();
        const auto& place = landscape ? impl.landscapeBounds : impl.portraitBounds;
        if (place) {
            child->SetBounds(*place);
        }
        if (auto* inner = dynamic_cast<Osp::Ui::Container*>(child)) {
            PlaceForOrientation(*inner, landscape);
        }
    }
}

}  // namespace host
