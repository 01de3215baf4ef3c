// Font subsetting through HarfBuzz: the bytes of a face cut down to the glyphs a job uses.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

struct hb_face_t;

namespace pdf {

enum class Outlines {
    TrueType, // 'glyf' outlines: embedded as a whole font program
    Cff,      // name-keyed 'CFF ' outlines: embedded as the bare CFF table
};

// The outlines of `face` that can be embedded, or the reason they cannot (CFF2, a
// CID-keyed CFF table, bitmaps only, no outlines at all).
bool EmbeddableOutlines(hb_face_t *face, Outlines &kind, std::string &problem);

// The font program of `face` cut down to `glyphs` (plus glyph 0), every glyph keeping its
// id, without hinting and layout tables: a whole TrueType font, or a bare CFF table. Empty
// when the subsetter fails.
std::string SubsetFace(hb_face_t *face, Outlines kind, std::span<const std::uint32_t> glyphs);

} // namespace pdf
