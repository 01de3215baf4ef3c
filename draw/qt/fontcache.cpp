// The fonts of the QPainter surface with their device-independent metrics, one per
// distinct font description, and the measured lines of the texts drawn in them.
#include "fontcache.h"

#include "fontresolver.h"

#include "engine/codepage.h"

#include <QFontDatabase>

#include <algorithm>

namespace {

// Texts kept per font; beyond that the kept ones are dropped and collecting starts anew.
constexpr std::size_t kMaxLayouts = 4096;

// Whether `family` has a style of weight `weight` or heavier.
bool hasStyleAsHeavy(const QString &family, int weight)
{
    const QStringList styles = QFontDatabase::styles(family);
    return std::any_of(styles.begin(), styles.end(), [&](const QString &style) {
        return QFontDatabase::weight(family, style) >= weight;
    });
}

} // namespace

FontEntry::Choice FontEntry::choose(const FontSpec &spec, FontResolver &resolver)
{
    Choice choice;
    const std::optional<ResolvedFace> face = resolver.resolve(spec.face);
    choice.sideways = face ? face->sideways : !spec.face.empty() && spec.face[0] == '@';
    QFont &font = choice.font;
    if (face) {
        font.setFamily(face->family);
    } else {
        const std::string_view name = std::string_view(spec.face).substr(choice.sideways ? 1 : 0);
        font.setFamily(QString::fromStdString(cp932::ToUtf8(name)));
    }
    // The character height (em) is 2 logical units per tenth of a point.
    font.setPixelSize(std::max(1, 2 * spec.height));
    // Weights are the same 1-1000 scale as QFont's; 0 means "any", the normal weight.
    const int weight = spec.weight <= 0 ? 400 : std::min(spec.weight, 1000);
    if (weight >= QFont::DemiBold && !hasStyleAsHeavy(font.family(), QFont::DemiBold)) {
        font.setWeight(QFont::Normal);
        choice.boldStrike = font.pixelSize() / 36.0;
    } else {
        font.setWeight(QFont::Weight(weight));
    }
    font.setItalic(spec.italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    return choice;
}

FontEntry::FontEntry(const FontSpec &spec, FontResolver &resolver)
    : FontEntry(choose(spec, resolver))
{
}

FontEntry::FontEntry(Choice choice)
    : m_font(std::move(choice.font)), m_sideways(choice.sideways),
      m_boldStrike(choice.boldStrike), m_metrics(m_font)
{
    m_ascent = qRound(m_metrics.ascent());
    m_lineHeight = m_ascent + qRound(m_metrics.descent());
}

const TextLayout &FontEntry::layout(std::string_view text)
{
    const auto known = m_layouts.find(text);
    if (known != m_layouts.end())
        return known->second;
    if (m_layouts.size() >= kMaxLayouts)
        m_layouts.clear();

    TextLayout layout;
    const QString all = QString::fromStdString(cp932::ToUtf8(text));
    for (const QString &line : all.split(QStringLiteral("\r\n"))) {
        const int width = qRound(m_metrics.horizontalAdvance(line));
        layout.size.width = std::max(layout.size.width, width);
        layout.lines.push_back(line);
        layout.widths.push_back(width);
    }
    layout.size.height = static_cast<int>(layout.lines.size()) * m_lineHeight;
    return m_layouts.emplace(text, std::move(layout)).first->second;
}

const SidewaysGlyphs &FontEntry::sidewaysGlyphs()
{
    if (!m_sidewaysGlyphs) {
        auto glyphs = std::make_unique<SidewaysGlyphs>();
        glyphs->raw = QRawFont::fromFont(m_font, QFontDatabase::Japanese);
        glyphs->vertical = VerticalGlyphs(glyphs->raw.fontTable("GSUB"));
        glyphs->emCentre = emBoxCentre(glyphs->raw.fontTable("OS/2"),
                                       qRound(glyphs->raw.unitsPerEm())) *
                           m_font.pixelSize();
        m_sidewaysGlyphs = std::move(glyphs);
    }
    return *m_sidewaysGlyphs;
}

std::size_t FontCache::KeyHash::operator()(const Key &k) const
{
    std::size_t h = std::hash<std::string>{}(k.face);
    for (std::size_t v : {std::size_t(k.height), std::size_t(k.weight), std::size_t(k.italic)})
        h = h * 1000003u ^ v;
    return h;
}

FontEntry &FontCache::entry(const FontSpec &spec)
{
    if (m_last && m_lastKey->height == spec.height && m_lastKey->weight == spec.weight &&
        m_lastKey->italic == spec.italic && m_lastKey->face == spec.face)
        return *m_last;
    Key key{spec.face, spec.height, spec.weight, spec.italic};
    auto found = m_entries.find(key);
    if (found == m_entries.end())
        found = m_entries.emplace(std::move(key), std::make_unique<FontEntry>(spec, m_resolver))
                    .first;
    m_lastKey = &found->first;
    m_last = found->second.get();
    return *m_last;
}
