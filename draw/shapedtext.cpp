// Where a surface puts the glyphs of a shaped text.
#include "shapedtext.h"

#include <cmath>
#include <numbers>

namespace {

constexpr int kTurnedDown = 2700; // escapement of text running down the page

// A turn by `tenths` of a degree counter-clockwise as seen on the page (y downwards),
// then a move to (x, y).
TextTransform turnedAt(double x, double y, int tenths)
{
    const double a = tenths / 10.0 * std::numbers::pi / 180.0;
    double c = std::cos(a), s = std::sin(a);
    // Exact quarter turns keep whole coordinates whole.
    if (tenths % 900 == 0) {
        c = std::round(c);
        s = std::round(s);
    }
    return TextTransform{c, -s, s, c, x, y};
}

} // namespace

std::optional<TextBlock> DrawTextBlock(int l, int t, int r, int b, TextAlign align,
                                       const FontSpec &font, const ShapedText &text)
{
    TextBlock block;
    block.align = align;
    const bool turned = font.escapement == kTurnedDown;
    block.width = turned ? (long long)b - t : (long long)r - l;
    block.height = turned ? (long long)l - r : (long long)b - t;
    if (block.width <= 0 || block.height <= 0)
        return std::nullopt;
    block.frame = turned ? turnedAt(l, t, -900) : TextTransform{1, 0, 0, 1, double(l), double(t)};
    // Text that fits its rectangle, as measured text always does, needs no clip.
    block.clip = text.size.width > block.width || text.size.height > block.height;
    return block;
}

TextBlock TextOutBlock(int x, int y, const FontSpec &font, const ShapedText &text)
{
    TextBlock block;
    block.frame = turnedAt(x, y, font.escapement);
    block.width = text.size.width;
    block.height = text.size.height;
    return block;
}

double LineLeft(const TextBlock &block, const ShapedLine &line)
{
    return block.align == TextAlign::Center ? double((block.width - line.width) / 2) : 0.0;
}

double LineTop(const ShapedText &text, std::size_t index)
{
    return double(index) * text.lineHeight;
}

TextTransform PlaceGlyph(const ShapedText &text, const ShapedGlyph &glyph)
{
    if (!glyph.upright)
        return TextTransform{1, 0, 0, 1, glyph.x, text.ascent + glyph.y};
    const double centreX = glyph.x + glyph.advance / 2;
    const double centreY = text.lineHeight / 2.0;
    return TextTransform{0, -1, 1, 0, centreX + text.emCentre, centreY + glyph.advance / 2};
}
