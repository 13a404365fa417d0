#pragma once
// Turns a layout read by LayoutFile into controls.

#include <QSize>

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

// Moves every control below the container that came from a layout to its place for the orientation,
// when the container is `actual` large in units where its layout was drawn for `design`. A control that
// spans the container's width keeps its margins; the tallest list, scroll panel or text area takes the
// extra (or missing) height, down to one row, and what lies below it moves with its bottom edge. Controls
// made in code keep their bounds.
void PlaceForOrientation(Osp::Ui::Container& container, bool landscape, const QSize& design,
                         const QSize& actual);

// Places the widgets of every control below the container again at the window's current scale.
void RefitChildren(Osp::Ui::Container& container);

}  // namespace host
