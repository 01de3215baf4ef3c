// Helpers of the PDF writer tests.
#include "pdfcheck.h"

#include "draw/pdf/font.h"

#include <hb.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

std::string RunTool(const std::string &command, int *status)
{
    std::string out;
    FILE *pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return out;
    char buffer[4096];
    while (const std::size_t n = fread(buffer, 1, sizeof buffer, pipe))
        out.append(buffer, n);
    const int result = pclose(pipe);
    if (status)
        *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    return out;
}

std::string FontFile(const std::string &family)
{
    return RunTool("fc-match -f '%{file}' '" + family + "'");
}

std::vector<pdf::Glyph> Shape(const pdf::Font &font, const std::string &text, double size)
{
    hb_buffer_t *buffer = hb_buffer_create();
    hb_buffer_add_utf8(buffer, text.data(), static_cast<int>(text.size()), 0, -1);
    hb_buffer_guess_segment_properties(buffer);
    hb_shape(font.HbFont(), buffer, nullptr, 0);
    unsigned count = 0;
    const hb_glyph_info_t *info = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t *pos = hb_buffer_get_glyph_positions(buffer, &count);
    const double scale = size / font.UnitsPerEm();
    std::vector<pdf::Glyph> glyphs;
    double x = 0;
    for (unsigned i = 0; i < count; ++i) {
        const unsigned end = i + 1 < count ? info[i + 1].cluster : text.size();
        const bool first = i == 0 || info[i - 1].cluster != info[i].cluster;
        glyphs.push_back({info[i].codepoint, x + pos[i].x_offset * scale, -pos[i].y_offset * scale,
                          false,
                          first ? std::string_view(text).substr(info[i].cluster, end - info[i].cluster)
                                : std::string_view()});
        x += pos[i].x_advance * scale;
    }
    hb_buffer_destroy(buffer);
    return glyphs;
}

unsigned Raster::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return 0xFFFFFFFF;
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    return unsigned(rgb[i]) << 16 | unsigned(rgb[i + 1]) << 8 | rgb[i + 2];
}

Raster Render(const std::string &pdf, int page, int dpi)
{
    const std::string prefix = pdf + "-raster";
    const std::string p = std::to_string(page);
    RunTool("pdftoppm -r " + std::to_string(dpi) + " -f " + p + " -l " + p + " -singlefile '" +
        pdf + "' '" + prefix + "'");
    std::ifstream in(prefix + ".ppm", std::ios::binary);
    Raster raster;
    std::string magic;
    int maxValue = 0;
    in >> magic >> raster.width >> raster.height >> maxValue;
    in.get();
    if (magic != "P6" || maxValue != 255)
        return {};
    raster.rgb.resize(static_cast<std::size_t>(raster.width) * raster.height * 3);
    in.read(reinterpret_cast<char *>(raster.rgb.data()), static_cast<std::streamsize>(raster.rgb.size()));
    std::remove((prefix + ".ppm").c_str());
    return raster;
}
