// Conversions of command text through the code page 932 converter of the engine.
#include "commandtext.h"

#include "engine/codepage.h"

#include <QList>
#include <QStringView>

namespace commandtext {

namespace {

// Code page 932 bytes of one line when every character survives the way there and back.
bool encodeExactly(QStringView line, std::string &out)
{
    const QByteArray utf8 = line.toUtf8();
    const std::string_view in(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    out = cp932::FromUtf8(in);
    return cp932::ToUtf8(out) == in;
}

// Code page 932 bytes of a line that holds characters code page 932 lacks: each of them,
// a whole code point, becomes "?".
std::string encodeReplacing(QStringView line)
{
    std::string out;
    std::string bytes;
    const QList<uint> codePoints = line.toUcs4();
    for (uint cp : codePoints) {
        const char32_t c = static_cast<char32_t>(cp);
        if (encodeExactly(QString::fromUcs4(&c, 1), bytes))
            out += bytes;
        else
            out += '?';
    }
    return out;
}

} // namespace

QString FromBytes(std::string_view bytes)
{
    return QString::fromStdString(cp932::ToUtf8(bytes));
}

std::string ToBytes(const QString &editorText, int *firstBadLine)
{
    if (firstBadLine)
        *firstBadLine = 0;
    // The whole text at once is the common case; line by line only when it fails.
    std::string whole;
    QString withCrLf = editorText;
    withCrLf.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    if (encodeExactly(withCrLf, whole))
        return whole;

    std::string out;
    out.reserve(whole.size());
    std::string bytes;
    int lineNo = 0;
    for (QStringView line : QStringView(editorText).split(QLatin1Char('\n'))) {
        if (lineNo++ > 0)
            out += "\r\n";
        if (encodeExactly(line, bytes)) {
            out += bytes;
            continue;
        }
        if (firstBadLine && *firstBadLine == 0)
            *firstBadLine = lineNo;
        out += encodeReplacing(line);
    }
    return out;
}

} // namespace commandtext
