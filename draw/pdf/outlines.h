// Glyphs drawn as filled paths from the font file: the fallback for a face that cannot be
// embedded.
#pragma once

#include "error.h"
#include "page.h"

namespace pdf {

// Fills the outlines of the run's glyphs where ShowGlyphs would show them, in the run's
// colour. Needs only a face HarfBuzz can read, embeddable or not; the text cannot be
// searched or copied afterwards.
Error FillGlyphOutlines(Page &page, const GlyphRun &run);

} // namespace pdf
