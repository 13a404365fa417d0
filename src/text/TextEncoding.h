#pragma once
// The encodings the text viewer can read a file in. The values are the viewer's menu action ids less the
// id of the "Encoding" menu item, so a menu choice maps onto an encoding by subtraction.

enum TTextEncoding {
    ENCODING_AUTO = 0,  // not chosen yet: the byte-order mark decides
    ENCODING_LATIN1 = 1,
    ENCODING_CP1252 = 2,
    ENCODING_CP1251 = 3,
    ENCODING_UTF8 = 4,
    ENCODING_UTF16LE = 5,
    ENCODING_UTF16BE = 6,
};

inline constexpr int kEncodingCount = 6;
