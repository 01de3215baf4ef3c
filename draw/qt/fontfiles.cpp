// The font files that the faces Qt draws with come from.
#include "fontfiles.h"

#include "fonttable.h"

#include <QFile>
#include <QHash>
#include <QRawFont>

#include <fontconfig/fontconfig.h>

#include <mutex>
#include <utility>

namespace {

struct FaceFile {
    std::string file;
    int index = 0;
};

// Table `tag` of face `index` of an OpenType or TrueType file (or collection), or
// nothing when the file has no such table.
QByteArray readTable(QFile &file, int index, quint32 tag)
{
    if (!file.seek(0))
        return {};
    const QByteArray header = file.read(12 + 4 * qint64(qMax(index + 1, 1)));
    TableReader h(header);
    qint64 face = 0;
    if (h.u32(0) == FontTag('t', 't', 'c', 'f')) {
        if (quint32(index) >= h.u32(8))
            return {};
        face = h.u32(12 + 4 * qint64(index));
    } else if (index != 0) {
        return {};
    }
    if (h.failed() || !file.seek(face))
        return {};
    const QByteArray directory = file.read(12);
    TableReader d(directory);
    const quint16 tables = d.u16(4);
    if (d.failed())
        return {};
    const QByteArray records = file.read(16 * qint64(tables));
    TableReader t(records);
    for (quint16 i = 0; i < tables && !t.failed(); ++i) {
        const qint64 record = 16 * qint64(i);
        if (t.u32(record) != tag)
            continue;
        const quint32 offset = t.u32(record + 8), length = t.u32(record + 12);
        if (t.failed() || length > (1u << 24) || !file.seek(offset))
            return {};
        return file.read(length);
    }
    return {};
}

// Whether face `index` of `path` has the same 'head' and 'name' tables as `raw`.
bool sameFace(const QString &path, int index, const QRawFont &raw)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = raw.fontTable("head"), name = raw.fontTable("name");
    return !head.isEmpty() && readTable(file, index, FontTag('h', 'e', 'a', 'd')) == head &&
           readTable(file, index, FontTag('n', 'a', 'm', 'e')) == name;
}

// The installed file of `raw`'s family whose face is `raw`'s, through fontconfig.
FaceFile findFile(const QRawFont &raw)
{
    FaceFile found;
    FcPattern *pattern = FcPatternCreate();
    const QByteArray family = raw.familyName().toUtf8();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family.constData()));
    FcObjectSet *objects = FcObjectSetBuild(FC_FILE, FC_INDEX, nullptr);
    FcFontSet *fonts = FcFontList(nullptr, pattern, objects);
    for (int i = 0; fonts && i < fonts->nfont && found.file.empty(); ++i) {
        FcChar8 *file = nullptr;
        int index = 0;
        if (FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) != FcResultMatch)
            continue;
        FcPatternGetInteger(fonts->fonts[i], FC_INDEX, 0, &index);
        // The upper bits number the named instances of a variable font.
        index &= 0xFFFF;
        const QString path = QFile::decodeName(reinterpret_cast<const char *>(file));
        if (sameFace(path, index, raw))
            found = {QFile::encodeName(path).toStdString(), index};
    }
    if (fonts)
        FcFontSetDestroy(fonts);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return found;
}

// Whether the face is italic or oblique by its own tables, as FreeType reads them.
bool italicFace(const QRawFont &raw)
{
    const QByteArray os2 = raw.fontTable("OS/2");
    TableReader r(os2);
    const quint16 selection = r.u16(62);
    if (!r.failed())
        return (selection & (1 | 512)) != 0;
    TableReader head(raw.fontTable("head"));
    const quint16 macStyle = head.u16(44);
    if (!head.failed())
        return (macStyle & 2) != 0;
    return raw.style() != QFont::StyleNormal;
}

} // namespace

GlyphFont DescribeFont(const QRawFont &raw)
{
    static std::mutex mutex;
    static QHash<std::pair<QString, QString>, FaceFile> files;

    GlyphFont font;
    font.size = raw.pixelSize();
    if (raw.style() != QFont::StyleNormal && !italicFace(raw))
        font.slant = kSyntheticSlant;
    const std::pair<QString, QString> key(raw.familyName(), raw.styleName());
    std::lock_guard lock(mutex);
    auto known = files.constFind(key);
    if (known == files.constEnd())
        known = files.insert(key, findFile(raw));
    font.file = known->file;
    font.faceIndex = known->index;
    return font;
}

FaceTable::FaceTable(const QRawFont &own)
{
    add(own);
}

const GlyphFont *FaceTable::add(const QRawFont &raw)
{
    for (const auto &face : m_faces) {
        const QRawFont &known = face->raw;
        // Two font engines of one face at one size draw the same glyphs.
        if (known == raw ||
            (known.familyName() == raw.familyName() && known.styleName() == raw.styleName() &&
             known.style() == raw.style() && known.weight() == raw.weight() &&
             known.pixelSize() == raw.pixelSize()))
            return &face->font;
    }
    m_faces.push_back(std::make_unique<Face>(Face{raw, DescribeFont(raw)}));
    return &m_faces.back()->font;
}

const QRawFont &FaceTable::raw(const GlyphFont *font) const
{
    const QRawFont *found = find(font);
    return found ? *found : m_faces.front()->raw;
}

const QRawFont *FaceTable::find(const GlyphFont *font) const
{
    for (const auto &face : m_faces)
        if (&face->font == font)
            return &face->raw;
    return nullptr;
}
