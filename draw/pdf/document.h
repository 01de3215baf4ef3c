// A PDF file written as its pages come: pages in order, each picture once, the fonts
// subset at the end from the glyphs of every page.
#pragma once

#include "error.h"
#include "font.h"
#include "objectwriter.h"
#include "sink.h"

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace pdf {

struct Image;
class Page;
struct PageFont;

struct DocumentInfo {
    std::string title; // UTF-8
    std::string creator = "Zentova";
};

// Pages can be built on any thread (load their fonts through Fonts(), which is safe from
// several threads) but are added here in page order, on one thread. Object numbers
// follow the order of AddPage calls only, so the file's bytes are the same whatever
// thread built which page when. Memory holds one page at a time plus, for every font,
// the set of glyphs used.
class Document {
public:
    Document(Sink &sink, DocumentInfo info);

    FontLibrary &Fonts() { return m_fonts; }

    // Writes `page` (finished first if it is not) as the next page, with every picture
    // it draws that no earlier page drew.
    void AddPage(Page &page);

    // Writes the fonts, the page tree, the document information and the cross-reference
    // table. On an error the output is incomplete and must be thrown away.
    Error Finish();

    int PageCount() const { return static_cast<int>(m_pages.size()); }

private:
    struct EmbeddedFont {
        const Font *font;
        int object;
        std::vector<std::uint64_t> shown;
        std::vector<std::uint64_t> named;
        std::map<std::uint32_t, std::string> texts;
    };

    int fontObject(const PageFont &use);
    int imageObject(const Image &image);

    ObjectWriter m_out;
    FontLibrary m_fonts;
    DocumentInfo m_info;
    int m_catalog;
    int m_pageTree;
    int m_infoObject;
    std::vector<int> m_pages;
    std::vector<EmbeddedFont> m_embedded; // in the order pages first used them
    std::unordered_map<const Font *, std::size_t> m_fontIndex;
    std::unordered_map<std::string, int> m_imageObjects;
};

} // namespace pdf
