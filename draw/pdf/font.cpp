// A font face that pages draw glyphs in, and the library that loads each face once.
#include "font.h"

#include "syntax.h"

#include <hb-ot.h>
#include <hb.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace pdf {

namespace {

// The big-endian 16-bit value at `offset` of a table, 0 beyond its end.
int readInt16(hb_blob_t *table, unsigned offset)
{
    unsigned length = 0;
    const auto *data = reinterpret_cast<const unsigned char *>(hb_blob_get_data(table, &length));
    if (offset + 2 > length)
        return 0;
    return static_cast<std::int16_t>(data[offset] << 8 | data[offset + 1]);
}

// A PostScript name with only the characters a PDF font name should hold.
std::string cleanName(std::string name)
{
    std::erase_if(name, [](char c) {
        return c <= 0x20 || c >= 0x7F || std::string_view("()<>[]{}/%#").find(c) !=
                                             std::string_view::npos;
    });
    return name.empty() ? std::string("Font") : name;
}

} // namespace

Font::Font(std::string path, unsigned faceIndex) : m_path(std::move(path)), m_faceIndex(faceIndex)
{
}

Font::~Font()
{
    hb_font_destroy(m_font);
    hb_face_destroy(m_face);
    hb_blob_destroy(m_blob);
}

Error Font::open()
{
    auto unreadable = [this](const char *why) {
        return Error{ErrorCode::FontUnreadable, m_path + ": " + why};
    };
    m_blob = hb_blob_create_from_file_or_fail(m_path.c_str());
    if (!m_blob)
        return unreadable("cannot be read");
    if (m_faceIndex >= hb_face_count(m_blob))
        return unreadable("no such face in the file");
    m_face = hb_face_create(m_blob, m_faceIndex);
    hb_face_make_immutable(m_face);
    hb_blob_t *head = hb_face_reference_table(m_face, HB_TAG('h', 'e', 'a', 'd'));
    const bool hasHead = hb_blob_get_length(head) >= 54;
    hb_blob_destroy(head);
    const unsigned glyphs = hb_face_get_glyph_count(m_face);
    if (!hasHead || glyphs == 0 || hb_face_get_upem(m_face) == 0)
        return unreadable("not a font HarfBuzz can read");

    m_font = hb_font_create(m_face);
    hb_font_make_immutable(m_font);
    m_unitsPerEm = hb_face_get_upem(m_face);
    m_widths.resize(glyphs);
    for (unsigned id = 0; id < glyphs; ++id)
        m_widths[id] = RoundReal(hb_font_get_glyph_h_advance(m_font, id) * 1000.0 / m_unitsPerEm, 2);
    readMetrics();

    // Subsetting is tried now, on two glyphs, so that a face the subsetter cannot handle
    // is known before any page shows text in it.
    const std::uint32_t trial[] = {std::min(1u, glyphs - 1)};
    if (EmbeddableOutlines(m_face, m_kind, m_problem) && SubsetFace(m_face, m_kind, trial).empty())
        m_problem = "HarfBuzz cannot subset it";
    if (!m_problem.empty())
        return Error{ErrorCode::FontNotEmbeddable, m_path + ": " + m_problem};
    return {};
}

void Font::readMetrics()
{
    const double scale = 1000.0 / m_unitsPerEm;
    auto metric = [&](hb_ot_metrics_tag_t tag, double fallback) {
        hb_position_t value = 0;
        return hb_ot_metrics_get_position(m_font, tag, &value) ? value * scale : fallback;
    };
    m_metrics.ascent = metric(HB_OT_METRICS_TAG_HORIZONTAL_ASCENDER, 800);
    m_metrics.descent = metric(HB_OT_METRICS_TAG_HORIZONTAL_DESCENDER, -200);
    m_metrics.capHeight = metric(HB_OT_METRICS_TAG_CAP_HEIGHT, m_metrics.ascent);

    hb_blob_t *head = hb_face_reference_table(m_face, HB_TAG('h', 'e', 'a', 'd'));
    for (int i = 0; i < 4; ++i)
        m_metrics.bbox[i] = readInt16(head, 36 + 2 * static_cast<unsigned>(i)) * scale;
    hb_blob_destroy(head);

    hb_blob_t *post = hb_face_reference_table(m_face, HB_TAG('p', 'o', 's', 't'));
    m_metrics.italicAngle = readInt16(post, 4) + (readInt16(post, 6) & 0xFFFF) / 65536.0;
    m_metrics.fixedPitch = readInt16(post, 12) != 0 || readInt16(post, 14) != 0;
    hb_blob_destroy(post);

    hb_blob_t *os2 = hb_face_reference_table(m_face, HB_TAG('O', 'S', '/', '2'));
    if (const int weight = readInt16(os2, 4); weight >= 100 && weight <= 1000)
        m_metrics.weight = weight;
    hb_blob_destroy(os2);

    char name[128];
    unsigned size = sizeof name;
    hb_ot_name_get_utf8(m_face, HB_OT_NAME_ID_POSTSCRIPT_NAME, HB_LANGUAGE_INVALID, &size, name);
    m_metrics.postscriptName = cleanName(std::string(name, std::min<unsigned>(size, sizeof name - 1)));
}

FontLoad FontLibrary::Load(const std::string &path, unsigned faceIndex)
{
    const std::lock_guard lock(m_mutex);
    auto [it, added] = m_entries.try_emplace({path, faceIndex});
    Entry &entry = it->second;
    if (added) {
        entry.font.reset(new Font(path, faceIndex));
        entry.error = entry.font->open();
        if (entry.error.code == ErrorCode::FontUnreadable)
            entry.font.reset();
    }
    return {entry.font.get(), entry.error};
}

} // namespace pdf
