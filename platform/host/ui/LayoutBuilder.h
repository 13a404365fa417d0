#pragma once
// Turns a layout read by LayoutFile into controls.

#include "Osp/Ui/Container.h"
#include "Osp/Ui/Orientation.h"
#include "host/ui/LayoutFile.h"

namespace host::layout {

// The FormStyle flags named by the form's "style" attribute.
unsigned long FormStyleOf(const Node& root);
Osp::Ui::Orientation OrientationOf(const Node& root);

// Makes the controls below the node, names them by their identifiers, remembers their places in both
// orientations and adds them to the container, placed for the orientation given. E_INVALID_FORMAT for a
// value that a control refuses.
Osp::Base::result BuildChildren(const Node& node, Osp::Ui::Container& into, bool landscape);

}  // namespace host::layout

namespace host {

// Moves every control below the container that came from a layout to its place for the orientation.
void PlaceForOrientation(Osp::Ui::Container& container, bool landscape);

}  // namespace host
