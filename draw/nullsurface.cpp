// The surface that draws nothing.
#include "nullsurface.h"

#include "engine/codepage.h"

#include <algorithm>

TextSize NullSurface::MeasureText(const FontSpec &font, std::string_view text)
{
    const int em = 2 * font.height;
    TextSize size{0, 0};
    int width = 0;
    for (std::size_t i = 0;;) {
        if (i >= text.size() || (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            size.width = std::max(size.width, width);
            size.height += em;
            width = 0;
            if (i >= text.size())
                break;
            i += 2;
            continue;
        }
        std::size_t len = cp932::CharLength(text, i);
        width += len == 2 ? em : em / 2;
        i += len;
    }
    return size;
}

std::optional<FontInfo> NullSurface::FindFont(std::string_view face)
{
    std::string_view name = face;
    if (!name.empty() && name[0] == '@')
        name.remove_prefix(1);
    for (const char *japanese : {"ＭＳ 明朝", "ＭＳ ゴシック", "ＭＳ Ｐ明朝", "ＭＳ Ｐゴシック"})
        if (name == cp932::FromUtf8(japanese))
            return FontInfo{128, 1};
    if (face == "Arial")
        return FontInfo{0, 2};
    return std::nullopt;
}
