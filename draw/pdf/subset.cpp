// Font subsetting through HarfBuzz.
#include "subset.h"

#include <hb-subset.h>
#include <hb.h>

#include <memory>

namespace pdf {

namespace {

struct BlobDeleter {
    void operator()(hb_blob_t *blob) const { hb_blob_destroy(blob); }
};
using Blob = std::unique_ptr<hb_blob_t, BlobDeleter>;

struct FaceDeleter {
    void operator()(hb_face_t *face) const { hb_face_destroy(face); }
};
using Face = std::unique_ptr<hb_face_t, FaceDeleter>;

std::string_view bytes(hb_blob_t *blob)
{
    unsigned length = 0;
    const char *data = hb_blob_get_data(blob, &length);
    return {data, length};
}

unsigned tableLength(hb_face_t *face, hb_tag_t tag)
{
    return static_cast<unsigned>(bytes(Blob(hb_face_reference_table(face, tag)).get()).size());
}

// Reads one INDEX of a CFF table at `pos`: the bounds of its first entry's data, and
// moves `pos` past the INDEX. False when it runs past the end of `cff`.
bool readIndex(std::string_view cff, std::size_t &pos, std::size_t &first, std::size_t &end)
{
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(cff[i]); };
    if (pos + 2 > cff.size())
        return false;
    const unsigned count = byte(pos) << 8 | byte(pos + 1);
    if (count == 0) {
        pos += 2;
        first = end = pos;
        return true;
    }
    if (pos + 3 > cff.size())
        return false;
    const unsigned offSize = byte(pos + 2);
    const std::size_t offsets = pos + 3;
    if (offSize < 1 || offSize > 4 || offsets + (count + 1) * offSize > cff.size())
        return false;
    auto offset = [&](unsigned i) {
        std::size_t v = 0;
        for (unsigned k = 0; k < offSize; ++k)
            v = v << 8 | byte(offsets + i * offSize + k);
        return v;
    };
    const std::size_t data = offsets + (count + 1) * offSize - 1;
    first = data + offset(0);
    end = data + offset(1);
    pos = data + offset(count);
    return first <= end && end <= cff.size() && pos <= cff.size();
}

// Whether the first Top DICT of a CFF table carries the ROS operator (12 30) that makes
// its glyphs CID-keyed.
bool cidKeyed(std::string_view cff)
{
    if (cff.size() < 4)
        return false;
    std::size_t pos = static_cast<unsigned char>(cff[2]); // header size
    std::size_t first = 0, end = 0;
    if (!readIndex(cff, pos, first, end) || !readIndex(cff, pos, first, end))
        return false;
    for (std::size_t i = first; i < end;) {
        const unsigned char b = static_cast<unsigned char>(cff[i]);
        if (b == 12)
            return i + 1 < end && static_cast<unsigned char>(cff[i + 1]) == 30;
        if (b == 28)
            i += 3;
        else if (b == 29)
            i += 5;
        else if (b == 30) { // a real: nibbles up to the one that is 0xF
            ++i;
            while (i < end && (static_cast<unsigned char>(cff[i]) & 0x0F) != 0x0F &&
                   (static_cast<unsigned char>(cff[i]) & 0xF0) != 0xF0)
                ++i;
            ++i;
        } else if (b >= 247 && b <= 254)
            i += 2;
        else
            ++i; // a one-byte operand, or another operator
    }
    return false;
}

} // namespace

bool EmbeddableOutlines(hb_face_t *face, Outlines &kind, std::string &problem)
{
    if (tableLength(face, HB_TAG('g', 'l', 'y', 'f')) > 0 &&
        tableLength(face, HB_TAG('l', 'o', 'c', 'a')) > 0) {
        kind = Outlines::TrueType;
        return true;
    }
    const Blob cff(hb_face_reference_table(face, HB_TAG('C', 'F', 'F', ' ')));
    if (!bytes(cff.get()).empty()) {
        if (cidKeyed(bytes(cff.get()))) {
            problem = "CID-keyed CFF outlines";
            return false;
        }
        kind = Outlines::Cff;
        return true;
    }
    problem = tableLength(face, HB_TAG('C', 'F', 'F', '2')) > 0
                  ? "variable CFF2 outlines"
                  : "no TrueType or CFF outlines";
    return false;
}

std::string SubsetFace(hb_face_t *face, Outlines kind, std::span<const std::uint32_t> glyphs)
{
    hb_subset_input_t *input = hb_subset_input_create_or_fail();
    if (!input)
        return {};
    hb_set_t *glyphSet = hb_subset_input_glyph_set(input);
    hb_set_add(glyphSet, 0);
    for (const std::uint32_t id : glyphs)
        hb_set_add(glyphSet, id);
    // Glyph ids stay as they are, so pages can be written before the job's glyphs are
    // all known; a PDF reader needs neither hinting nor the layout tables.
    hb_subset_input_set_flags(input, HB_SUBSET_FLAGS_RETAIN_GIDS | HB_SUBSET_FLAGS_NO_HINTING);
    hb_set_t *drop = hb_subset_input_set(input, HB_SUBSET_SETS_DROP_TABLE_TAG);
    for (const char *tag : {"GSUB", "GPOS", "GDEF", "BASE", "JSTF", "MATH", "kern", "morx",
                            "kerx", "vhea", "vmtx", "VORG", "DSIG", "hdmx", "LTSH", "VDMX"})
        hb_set_add(drop, hb_tag_from_string(tag, 4));

    const Face subset(hb_subset_or_fail(face, input));
    hb_subset_input_destroy(input);
    if (!subset)
        return {};
    if (kind == Outlines::Cff) {
        const Blob cff(hb_face_reference_table(subset.get(), HB_TAG('C', 'F', 'F', ' ')));
        return std::string(bytes(cff.get()));
    }
    const Blob whole(hb_face_reference_blob(subset.get()));
    return std::string(bytes(whole.get()));
}

} // namespace pdf
