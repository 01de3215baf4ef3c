// A font face that pages draw glyphs in, and the library that loads each face once.
#pragma once

#include "error.h"
#include "subset.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

struct hb_blob_t;
struct hb_face_t;
struct hb_font_t;

namespace pdf {

// What a font descriptor says of a face, in thousandths of an em.
struct FontMetrics {
    std::string postscriptName; // already fit for a PDF name
    double ascent = 0, descent = 0, capHeight = 0;
    double bbox[4] = {0, 0, 0, 0}; // xMin yMin xMax yMax
    double italicAngle = 0;
    bool fixedPitch = false;
    int weight = 400;
};

// One face of a font file, read once and never changed afterwards, so that pages built
// on several threads can share it.
class Font {
public:
    ~Font();
    Font(const Font &) = delete;
    Font &operator=(const Font &) = delete;

    const std::string &Path() const { return m_path; }
    unsigned FaceIndex() const { return m_faceIndex; }
    unsigned GlyphCount() const { return static_cast<unsigned>(m_widths.size()); }
    unsigned UnitsPerEm() const { return m_unitsPerEm; }
    // The advance of glyph `id` in thousandths of an em, exactly as the file's width
    // table carries it (rounded to 0.01); 0 beyond the face's glyphs.
    double Width(std::uint32_t id) const { return id < m_widths.size() ? m_widths[id] : 0; }

    // Whether the face can be subset and embedded; when not, `EmbedProblem` says why and
    // its glyphs can still be drawn as outlines.
    bool Embeddable() const { return m_problem.empty(); }
    const std::string &EmbedProblem() const { return m_problem; }
    Outlines Kind() const { return m_kind; }
    const FontMetrics &Metrics() const { return m_metrics; }

    // HarfBuzz's immutable font and face, for outlines and subsetting.
    hb_font_t *HbFont() const { return m_font; }
    hb_face_t *HbFace() const { return m_face; }

private:
    friend class FontLibrary;
    Font(std::string path, unsigned faceIndex);
    Error open();
    void readMetrics();

    std::string m_path;
    unsigned m_faceIndex;
    hb_blob_t *m_blob = nullptr;
    hb_face_t *m_face = nullptr;
    hb_font_t *m_font = nullptr;
    unsigned m_unitsPerEm = 1000;
    std::vector<double> m_widths;
    Outlines m_kind = Outlines::TrueType;
    std::string m_problem;
    FontMetrics m_metrics;
};

// The result of loading a face: `font` is set when the face can be read (check
// Embeddable before showing text in it); `error` is set when it cannot be read, or
// (FontNotEmbeddable) when it can only be drawn as outlines.
struct FontLoad {
    const Font *font = nullptr;
    Error error;
};

// Every face a job uses, each read and checked once. Safe to call from several threads;
// the fonts live as long as the library.
class FontLibrary {
public:
    FontLoad Load(const std::string &path, unsigned faceIndex);

private:
    struct Entry {
        std::unique_ptr<Font> font;
        Error error;
    };
    std::mutex m_mutex;
    std::map<std::pair<std::string, unsigned>, Entry> m_entries;
};

} // namespace pdf
