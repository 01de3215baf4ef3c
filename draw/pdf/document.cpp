// A PDF file written as its pages come.
#include "document.h"

#include "deflate.h"
#include "embedfont.h"
#include "image.h"
#include "page.h"
#include "syntax.h"

namespace pdf {

namespace {

constexpr double kPointsPerPageUnit = 72.0 / 254;

} // namespace

Document::Document(Sink &sink, DocumentInfo info)
    : m_out(sink), m_info(std::move(info)), m_catalog(m_out.Reserve()),
      m_pageTree(m_out.Reserve()), m_infoObject(m_out.Reserve())
{
}

int Document::fontObject(const PageFont &use)
{
    auto [it, added] = m_fontIndex.try_emplace(use.font, m_embedded.size());
    if (added)
        m_embedded.push_back({use.font, m_out.Reserve(), std::vector<std::uint64_t>(use.shown.size()),
                              std::vector<std::uint64_t>(use.named.size()), {}});
    EmbeddedFont &font = m_embedded[it->second];
    for (std::size_t i = 0; i < use.shown.size(); ++i)
        font.shown[i] |= use.shown[i];
    // The first page to name a glyph's text decides it.
    for (const auto &[id, text] : use.texts) {
        std::uint64_t &word = font.named[id / 64];
        const std::uint64_t bit = std::uint64_t{1} << (id % 64);
        if (!(word & bit)) {
            word |= bit;
            font.texts.emplace(id, text);
        }
    }
    return font.object;
}

int Document::imageObject(const Image &image)
{
    auto [it, added] = m_imageObjects.try_emplace(image.key, 0);
    if (!added)
        return it->second;
    const int object = m_out.Reserve(), length = m_out.Reserve();
    it->second = object;
    std::string head = "<</Type/XObject/Subtype/Image/Width ";
    AppendInt(head, image.width);
    head += "/Height ";
    AppendInt(head, image.height);
    head += image.components == 1 ? "/ColorSpace/DeviceGray" : "/ColorSpace/DeviceRGB";
    head += "/BitsPerComponent 8";
    if (image.smooth)
        head += "/Interpolate true";
    head += "/Filter/FlateDecode/Length ";
    AppendInt(head, length);
    head += " 0 R>>\nstream\n";
    m_out.Begin(object);
    m_out.Write(head);
    // Compressed in pieces straight into the file: a large picture is not held twice.
    long long written = 0;
    DeflateStream deflate(kFastDeflate, [&](std::string_view piece) {
        m_out.Write(piece);
        written += static_cast<long long>(piece.size());
    });
    const std::string_view pixels(reinterpret_cast<const char *>(image.pixels.data()),
                                  image.pixels.size());
    for (std::size_t at = 0; at < pixels.size(); at += 1 << 20)
        deflate.Add(pixels.substr(at, 1 << 20));
    deflate.Finish();
    m_out.Write("\nendstream");
    m_out.End();
    std::string size;
    AppendInt(size, written);
    m_out.WriteObject(length, size);
    return object;
}

void Document::AddPage(Page &page)
{
    page.Finish();
    const int contents = m_out.Reserve(), object = m_out.Reserve();
    m_out.WriteStream(contents, page.Compressed() ? "/Filter/FlateDecode" : "", page.Content());

    std::string body = "<</Type/Page/Parent ";
    AppendInt(body, m_pageTree);
    body += " 0 R/MediaBox[0 0 ";
    AppendReal(body, page.PaperWidth() * kPointsPerPageUnit, 4);
    body += ' ';
    AppendReal(body, page.PaperHeight() * kPointsPerPageUnit, 4);
    body += "]/Resources<<";
    if (!page.Fonts().empty()) {
        body += "/Font<<";
        for (std::size_t i = 0; i < page.Fonts().size(); ++i) {
            body += "/F";
            AppendInt(body, static_cast<long long>(i));
            body += ' ';
            AppendInt(body, fontObject(page.Fonts()[i]));
            body += " 0 R";
        }
        body += ">>";
    }
    if (!page.Images().empty()) {
        body += "/XObject<<";
        for (std::size_t i = 0; i < page.Images().size(); ++i) {
            body += "/I";
            AppendInt(body, static_cast<long long>(i));
            body += ' ';
            AppendInt(body, imageObject(*page.Images()[i]));
            body += " 0 R";
        }
        body += ">>";
    }
    body += ">>/Contents ";
    AppendInt(body, contents);
    body += " 0 R>>";
    m_out.WriteObject(object, body);
    m_pages.push_back(object);
}

Error Document::Finish()
{
    for (const EmbeddedFont &font : m_embedded) {
        std::vector<std::uint32_t> glyphs;
        for (std::uint32_t id = 0; id < font.font->GlyphCount(); ++id)
            if ((font.shown[id / 64] >> (id % 64)) & 1)
                glyphs.push_back(id);
        if (Error error = WriteEmbeddedFont(m_out, font.object, *font.font, glyphs, font.texts))
            return error;
    }

    std::string body = "<</Type/Pages/Kids[";
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        if (i > 0)
            body += ' ';
        AppendInt(body, m_pages[i]);
        body += " 0 R";
    }
    body += "]/Count ";
    AppendInt(body, static_cast<long long>(m_pages.size()));
    body += ">>";
    m_out.WriteObject(m_pageTree, body);

    body = "<</Type/Catalog/Pages ";
    AppendInt(body, m_pageTree);
    body += " 0 R>>";
    m_out.WriteObject(m_catalog, body);

    body = "<</Creator";
    AppendTextString(body, m_info.creator);
    body += "/Producer";
    AppendTextString(body, m_info.creator);
    if (!m_info.title.empty()) {
        body += "/Title";
        AppendTextString(body, m_info.title);
    }
    body += ">>";
    m_out.WriteObject(m_infoObject, body);

    if (!m_out.Finish(m_catalog, m_infoObject))
        return {ErrorCode::WriteFailed, "the PDF file could not be written"};
    return {};
}

} // namespace pdf
