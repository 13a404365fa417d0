#pragma once
// How a form wants to be turned, and how it is turned now. A form with an automatic orientation follows
// the phone (Ctrl+R turns the phone on a desktop); a fixed one keeps its own.

namespace Osp::Ui {

enum Orientation {
    ORIENTATION_NONE = 0,
    ORIENTATION_PORTRAIT = 1,
    ORIENTATION_LANDSCAPE = 2,
    ORIENTATION_PORTRAIT_REVERSE = 3,
    ORIENTATION_LANDSCAPE_REVERSE = 4,
    ORIENTATION_AUTOMATIC = 6,
    ORIENTATION_AUTOMATIC_FOUR_DIRECTION = 8,
};

// Portrait statuses are 0, 1 and 3; landscape statuses 2 and 4.
enum OrientationStatus {
    ORIENTATION_STATUS_NONE = 0,
    ORIENTATION_STATUS_PORTRAIT = 1,
    ORIENTATION_STATUS_LANDSCAPE = 2,
    ORIENTATION_STATUS_PORTRAIT_REVERSE = 3,
    ORIENTATION_STATUS_LANDSCAPE_REVERSE = 4,
};

inline bool IsLandscape(OrientationStatus status) {
    return status == ORIENTATION_STATUS_LANDSCAPE || status == ORIENTATION_STATUS_LANDSCAPE_REVERSE;
}

}  // namespace Osp::Ui
