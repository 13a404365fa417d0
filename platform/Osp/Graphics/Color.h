#pragma once
// A colour with alpha, held as one 32-bit ARGB value (alpha in the top byte; 255 is opaque). Plain value;
// any thread. The named colours are constants usable from static initialisers.

#include <cstdint>

namespace Osp::Graphics {

class Color {
public:
    constexpr Color() = default;
    constexpr Color(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 0xFF)
        : argb_((std::uint32_t{a} << 24) | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b) {}
    // From 0xAARRGGBB; without alpha the value is read as 0xRRGGBB and the colour is opaque.
    explicit constexpr Color(std::uint32_t argb, bool hasAlpha = true)
        : argb_(hasAlpha ? argb : (argb | 0xFF000000u)) {}

    constexpr std::uint8_t GetAlpha() const { return static_cast<std::uint8_t>(argb_ >> 24); }
    constexpr std::uint8_t GetRed() const { return static_cast<std::uint8_t>(argb_ >> 16); }
    constexpr std::uint8_t GetGreen() const { return static_cast<std::uint8_t>(argb_ >> 8); }
    constexpr std::uint8_t GetBlue() const { return static_cast<std::uint8_t>(argb_); }
    constexpr std::uint32_t GetRGB32() const { return argb_; }

    void SetColorComponents(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 0xFF) {
        *this = Color(r, g, b, a);
    }
    void SetRGB32(std::uint32_t argb, bool hasAlpha = true) { *this = Color(argb, hasAlpha); }

    constexpr bool operator==(const Color&) const = default;

    static const Color COLOR_BLACK;
    static const Color COLOR_BLUE;
    static const Color COLOR_CYAN;
    static const Color COLOR_GREEN;
    static const Color COLOR_GREY;
    static const Color COLOR_MAGENTA;
    static const Color COLOR_RED;
    static const Color COLOR_VIOLET;
    static const Color COLOR_WHITE;
    static const Color COLOR_YELLOW;

private:
    std::uint32_t argb_ = 0xFF000000u;
};

inline constexpr Color Color::COLOR_BLACK{0xFF000000u};
inline constexpr Color Color::COLOR_BLUE{0xFF0000FFu};
inline constexpr Color Color::COLOR_CYAN{0xFF00FFFFu};
inline constexpr Color Color::COLOR_GREEN{0xFF00FF00u};
inline constexpr Color Color::COLOR_GREY{0xFFA0A0A0u};
inline constexpr Color Color::COLOR_MAGENTA{0xFFFF00FFu};
inline constexpr Color Color::COLOR_RED{0xFFFF0000u};
inline constexpr Color Color::COLOR_VIOLET{0xFFEE82EEu};
inline constexpr Color Color::COLOR_WHITE{0xFFFFFFFFu};
inline constexpr Color Color::COLOR_YELLOW{0xFFFFFF00u};

}  // namespace Osp::Graphics
