#pragma once
// The look of the phone: sizes of the bars and rows, colours and fonts. Dark bars around a light
// content area, large touch targets, one accent colour for what is chosen or checked.

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRect>
#include <QString>

#include "Osp/Graphics/Color.h"

namespace host::theme {

inline constexpr int kTitleHeight = 64;
inline constexpr int kSoftkeyHeight = 72;
inline constexpr int kPopupTitleHeight = 52;
inline constexpr int kMenuRowHeight = 64;
inline constexpr int kMarkAreaWidth = 72;
// How far a finger may travel before a touch is a drag, and how long it rests for a long press.
inline constexpr int kTapSlop = 12;
inline constexpr int kLongPressMs = 600;

inline const QColor kBarBackground{0x1d, 0x24, 0x2e};
inline const QColor kBarText{0xf3, 0xf5, 0xf8};
inline const QColor kBarTextDim{0x9a, 0xa5, 0xb4};
inline const QColor kBarPressed{0x33, 0x40, 0x50};
inline const QColor kClientBackground{0xf4, 0xf6, 0xf9};
inline const QColor kSurface{0xff, 0xff, 0xff};
inline const QColor kText{0x1b, 0x20, 0x27};
inline const QColor kSubText{0x6a, 0x74, 0x82};
inline const QColor kSeparator{0xe2, 0xe6, 0xeb};
inline const QColor kAccent{0x25, 0x74, 0xe8};
inline const QColor kAccentText{0xff, 0xff, 0xff};
inline const QColor kPressed{0xd8, 0xe6, 0xfb};
inline const QColor kCheckedRow{0xe9, 0xf1, 0xfd};
inline const QColor kScrim{0x0b, 0x10, 0x16, 0x99};
inline const QColor kFieldBorder{0xc4, 0xcb, 0xd4};
inline const QColor kDisabledText{0xa9, 0xb1, 0xbb};

// The popup background, as Osp::Ui::Controls::SYSTEM_COLOR_POPUP_BACKGROUND gives it to the system.
inline constexpr std::uint32_t kPopupBackgroundArgb = 0xFFFFFFFFu;

// The user-interface font at a pixel size.
QFont Font(int pixelSize, bool bold = false);

QColor ToQColor(const Osp::Graphics::Color& color);

// The text on one line in the rectangle, with "..." in place of what does not fit.
void DrawElided(QPainter& painter, const QRect& rect, const QString& text, int alignment);

// A rounded button face: accent-filled for a primary button, outlined otherwise.
void DrawButtonFace(QPainter& painter, const QRect& rect, bool primary, bool pressed, bool enabled);

// A check mark box at its centre, filled with the accent colour when checked.
void DrawCheckBox(QPainter& painter, const QPoint& centre, bool checked, bool enabled);

}  // namespace host::theme
