// The objects that embed one font in the file: a Type0 font over a CID font with its
// descriptor, widths, subset font program and ToUnicode map.
#pragma once

#include "error.h"

#include <cstdint>
#include <map>
#include <span>
#include <string>

namespace pdf {

class Font;
class ObjectWriter;

// Writes the Type0 font object `type0` (its number reserved earlier, as pages refer to
// it) and the objects under it, for the glyph ids `glyphs` (ascending) with the texts
// `texts`. Codes in the content are the glyph ids (Identity-H). SubsetFailed when the
// subsetter refuses the glyphs; nothing is written then.
Error WriteEmbeddedFont(ObjectWriter &out, int type0, const Font &font,
                        std::span<const std::uint32_t> glyphs,
                        const std::map<std::uint32_t, std::string> &texts);

// The six capital letters that name a subset (the part before "+"), the same for the
// same face and glyphs.
std::string SubsetTag(const Font &font, std::span<const std::uint32_t> glyphs);

} // namespace pdf
