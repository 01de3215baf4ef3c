// The objects that embed one font in the file.
#include "embedfont.h"

#include "deflate.h"
#include "font.h"
#include "objectwriter.h"
#include "subset.h"
#include "syntax.h"
#include "tounicode.h"

#include <cmath>

namespace pdf {

namespace {

// Fonts are written once per file: a better compression pays.
constexpr int kFontDeflate = 6;

// The widths: the most common whole one as the default (DW), the others in a W array of
// runs of consecutive ids.
std::string widths(const Font &font, std::span<const std::uint32_t> glyphs)
{
    // Some readers (poppler) take only an integer default width.
    std::map<double, int> counts;
    for (const std::uint32_t id : glyphs)
        if (font.Width(id) == std::floor(font.Width(id)))
            ++counts[font.Width(id)];
    double common = 1000;
    int best = 0;
    for (const auto &[width, count] : counts)
        if (count > best) {
            common = width;
            best = count;
        }
    std::string out = "/DW ";
    AppendReal(out, common, 0);
    out += "/W[";
    std::uint32_t next = UINT32_MAX; // the id that would continue the open run
    for (const std::uint32_t id : glyphs) {
        if (font.Width(id) == common)
            continue;
        if (id != next) {
            if (next != UINT32_MAX)
                out += ']';
            AppendInt(out, id);
            out += '[';
        } else {
            out += ' ';
        }
        AppendReal(out, font.Width(id));
        next = id + 1;
    }
    if (next != UINT32_MAX)
        out += ']';
    out += ']';
    return out;
}

int flags(const FontMetrics &m)
{
    // Symbolic: the glyphs are outside the standard Latin character set as far as a
    // reader knows, since codes are glyph ids.
    return 4 | (m.fixedPitch ? 1 : 0) | (m.italicAngle != 0 ? 64 : 0);
}

void bbox(std::string &out, const FontMetrics &m)
{
    out += "/FontBBox[";
    for (int i = 0; i < 4; ++i) {
        if (i > 0)
            out += ' ';
        AppendReal(out, m.bbox[i], 0);
    }
    out += ']';
}

} // namespace

std::string SubsetTag(const Font &font, std::span<const std::uint32_t> glyphs)
{
    std::uint64_t hash = 1469598103934665603ull; // FNV-1a
    auto mix = [&](std::uint64_t v) {
        hash ^= v;
        hash *= 1099511628211ull;
    };
    for (const char c : font.Path())
        mix(static_cast<unsigned char>(c));
    mix(font.FaceIndex());
    for (const std::uint32_t id : glyphs)
        mix(id);
    std::string tag(6, 'A');
    for (char &c : tag) {
        c = static_cast<char>('A' + hash % 26);
        hash /= 26;
    }
    return tag;
}

Error WriteEmbeddedFont(ObjectWriter &out, int type0, const Font &font,
                        std::span<const std::uint32_t> glyphs,
                        const std::map<std::uint32_t, std::string> &texts)
{
    const std::string program = SubsetFace(font.HbFace(), font.Kind(), glyphs);
    if (program.empty())
        return {ErrorCode::SubsetFailed, font.Path() + ": the subsetter refused the glyphs"};

    const FontMetrics &m = font.Metrics();
    const bool trueType = font.Kind() == Outlines::TrueType;
    std::string name;
    AppendName(name, SubsetTag(font, glyphs) + "+" + m.postscriptName);
    const int cidFont = out.Reserve(), descriptor = out.Reserve(), file = out.Reserve(),
              toUnicode = out.Reserve();

    // A Type0 font over CFF outlines is named after its CID font and its encoding.
    std::string body = "<</Type/Font/Subtype/Type0/BaseFont" + name +
                       (trueType ? "" : "-Identity-H") + "/Encoding/Identity-H/DescendantFonts[";
    AppendInt(body, cidFont);
    body += " 0 R]/ToUnicode ";
    AppendInt(body, toUnicode);
    body += " 0 R>>";
    out.WriteObject(type0, body);

    body = trueType ? "<</Type/Font/Subtype/CIDFontType2/BaseFont"
                    : "<</Type/Font/Subtype/CIDFontType0/BaseFont";
    body += name;
    body += "/CIDSystemInfo<</Registry(Adobe)/Ordering(Identity)/Supplement 0>>/FontDescriptor ";
    AppendInt(body, descriptor);
    body += " 0 R";
    body += widths(font, glyphs);
    if (trueType)
        body += "/CIDToGIDMap/Identity";
    body += ">>";
    out.WriteObject(cidFont, body);

    body = "<</Type/FontDescriptor/FontName" + name + "/Flags ";
    AppendInt(body, flags(m));
    bbox(body, m);
    body += "/ItalicAngle ";
    AppendReal(body, m.italicAngle);
    body += "/Ascent ";
    AppendReal(body, m.ascent, 0);
    body += "/Descent ";
    AppendReal(body, m.descent, 0);
    body += "/CapHeight ";
    AppendReal(body, m.capHeight, 0);
    // Readers only use the stem width as a hint; this is the usual estimate from weight.
    body += "/StemV ";
    AppendReal(body, 50 + std::pow(m.weight / 65.0, 2), 0);
    body += trueType ? "/FontFile2 " : "/FontFile3 ";
    AppendInt(body, file);
    body += " 0 R>>";
    out.WriteObject(descriptor, body);

    std::string packed;
    DeflateAppend(program, kFontDeflate, packed);
    std::string dictionary = "/Filter/FlateDecode";
    if (trueType) {
        dictionary += "/Length1 ";
        AppendInt(dictionary, static_cast<long long>(program.size()));
    } else {
        dictionary += "/Subtype/CIDFontType0C";
    }
    out.WriteStream(file, dictionary, packed);

    packed.clear();
    DeflateAppend(ToUnicodeCMap(texts), kFontDeflate, packed);
    out.WriteStream(toUnicode, "/Filter/FlateDecode", packed);
    return {};
}

} // namespace pdf
