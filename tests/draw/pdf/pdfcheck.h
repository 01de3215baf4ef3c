// Helpers of the PDF writer tests: fonts by name, shaping, and what qpdf and poppler's
// tools say of a written file.
#pragma once

#include "draw/pdf/page.h"

#include <string>
#include <vector>

namespace pdf {
class Font;
class FontLibrary;
}

// The file of the face fontconfig picks for `family`.
std::string FontFile(const std::string &family);

// `text` shaped in `font` at `size` logical units: glyphs with their positions and the
// text of each cluster. The glyphs' texts point into `text`, which must outlive them.
std::vector<pdf::Glyph> Shape(const pdf::Font &font, const std::string &text, double size);

// Standard output of a command (standard error joined in), and its exit status.
std::string RunTool(const std::string &command, int *status = nullptr);

// Page `page` of a PDF rendered by pdftoppm at `dpi`.
struct Raster {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    // The colour at pixel (x, y) as 0xRRGGBB.
    unsigned At(int x, int y) const;
};
Raster Render(const std::string &pdf, int page, int dpi);
