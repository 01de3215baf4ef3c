// Conversions of command text through the code page 932 tables of the engine.
#include "commandtext.h"

#include "engine/codepage.h"
#include "engine/errors.h"
#include "engine/textlines.h"

#include <QStringList>

namespace commandtext {

namespace {

// Calls `visit(lineText, lineBytes)` for each line of `text` and of the `bytes` it was
// read from, in order. A CR or LF byte is never part of a two-byte character.
template <typename Visit>
void forEachLine(std::string_view bytes, QStringView text, Visit visit)
{
    std::size_t byteStart = 0;
    qsizetype textStart = 0;
    for (;;) {
        const std::size_t byteEnd = bytes.find_first_of("\r\n", byteStart);
        const qsizetype textEnd = text.indexOf(QLatin1Char('\n'), textStart);
        if (byteEnd == std::string_view::npos || textEnd < 0) {
            visit(text.sliced(textStart), bytes.substr(byteStart));
            return;
        }
        visit(text.sliced(textStart, textEnd - textStart),
              bytes.substr(byteStart, byteEnd - byteStart));
        const bool crLf = bytes[byteEnd] == '\r' && byteEnd + 1 < bytes.size() &&
                          bytes[byteEnd + 1] == '\n';
        byteStart = byteEnd + (crLf ? 2 : 1);
        textStart = textEnd + 1;
    }
}

} // namespace

QString FromBytes(std::string_view bytes, KeptLines *kept)
{
    // Every byte gives at most one UTF-16 unit: code page 932 has no character above
    // U+FFFF, and a CR LF becomes one "\n".
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar *out = text.data();
    qsizetype length = 0;
    qsizetype lineStart = 0;
    bool keepLine = false; // the line has a code that its character would not give
    auto endLine = [&]() {
        if (keepLine && kept)
            kept->insert(QString(out + lineStart, length - lineStart), {});
        keepLine = false;
    };

    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == '\r' || b == '\n') {
            endLine();
            i += (b == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
            out[length++] = QLatin1Char('\n');
            lineStart = length;
            continue;
        }
        if (cp932::IsLeadByte(b) && i + 1 < bytes.size()) {
            const unsigned code = b << 8 | static_cast<unsigned char>(bytes[i + 1]);
            const int c = cp932::UnicodeOf(code);
            if (c >= 0) {
                out[length++] = QChar(static_cast<char16_t>(c));
                if (cp932::CodeOf(static_cast<char32_t>(c)) != static_cast<int>(code))
                    keepLine = true;
                i += 2;
                continue;
            }
            // Not a character with its next byte: the lead byte alone is one below.
        }
        const int c = cp932::UnicodeOf(b);
        out[length++] = QChar(c >= 0 ? static_cast<char16_t>(c)
                                     : static_cast<char16_t>(kFirstByteCharacter + (b - 0x80)));
        ++i;
    }
    endLine();
    text.truncate(length);

    // The bytes of every line whose text is kept, also where that text was read in the
    // codes it is written in: each occurrence gets its own bytes back.
    if (kept && !kept->isEmpty())
        forEachLine(bytes, text, [kept](QStringView lineText, std::string_view lineBytes) {
            const auto found = kept->find(lineText.toString());
            if (found != kept->end())
                found->emplace_back(lineBytes);
        });
    return text;
}

Encoded ToBytes(QStringView editorText, const KeptLines &kept)
{
    Encoded encoded;
    std::string &out = encoded.bytes;
    out.reserve(static_cast<std::size_t>(editorText.size()) * 2);
    int lineNo = 1;
    qsizetype lineStart = 0;
    std::size_t lineBytesStart = 0;
    bool lineLost = false;
    QHash<QString, std::size_t> seen; // occurrences so far of each kept text
    const qsizetype size = editorText.size();
    for (qsizetype i = 0; i <= size; ++i) {
        if (i == size || editorText[i] == QLatin1Char('\n')) {
            if (!kept.isEmpty()) {
                const QString lineText = editorText.sliced(lineStart, i - lineStart).toString();
                const auto found = kept.constFind(lineText);
                if (found != kept.constEnd()) {
                    const std::size_t occurrence = seen[lineText]++;
                    if (occurrence < found->size()) {
                        out.resize(lineBytesStart);
                        out += (*found)[occurrence];
                        lineLost = false;
                    }
                }
            }
            if (lineLost)
                encoded.unmappedLines.append(lineNo);
            if (i == size)
                break;
            out += "\r\n";
            ++lineNo;
            lineStart = i + 1;
            lineBytesStart = out.size();
            lineLost = false;
            continue;
        }

        char32_t c = editorText[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < size && editorText[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(static_cast<char16_t>(c), editorText[++i].unicode());
        if (c >= kFirstByteCharacter && c <= kLastByteCharacter) {
            out += static_cast<char>(c - kFirstByteCharacter + 0x80);
            continue;
        }
        const int code = cp932::CodeOf(c);
        if (code < 0) {
            out += '?';
            lineLost = true;
        } else if (code > 0xFF) {
            out += static_cast<char>(code >> 8);
            out += static_cast<char>(code & 0xFF);
        } else {
            out += static_cast<char>(code);
        }
    }
    return encoded;
}

Encoded Source::encode() const
{
    if (unedited)
        return {NormalizeLineEnds(bytes), {}};
    return ToBytes(text, kept);
}

bool ListUnmappedLines(const Encoded &text, ErrorText &errors)
{
    bool added = false;
    std::string_view rest = text.bytes;
    int lineNo = 1;
    for (int wanted : text.unmappedLines) {
        for (; lineNo < wanted; ++lineNo) {
            const std::size_t lineFeed = rest.find('\n');
            if (lineFeed == std::string_view::npos)
                return added;
            rest.remove_prefix(lineFeed + 1);
        }
        if (errors.hasLine(wanted))
            continue;
        errors.add(wanted, FirstLine(rest),
                   CP932("Shift-JIS にない文字があります (?で印刷)"));
        added = true;
    }
    return added;
}

QString LinesForMessage(const QList<int> &lines)
{
    constexpr qsizetype kShown = 5;
    QStringList numbers;
    for (qsizetype i = 0; i < lines.size() && i < kShown; ++i)
        numbers << QString::number(lines[i]);
    QString text = numbers.join(QStringLiteral("、")) + QStringLiteral(" 行目");
    if (lines.size() > kShown)
        text += QStringLiteral("ほか");
    return text;
}

} // namespace commandtext
