// The error list as text, as compiler-style lines, or as JSON.
#include "errorformat.h"

#include "engine/codepage.h"
#include "engine/errors.h"

#include <cstdio>

namespace {

// The error list for a terminal: UTF-8 with LF line ends.
std::string listForTerminal(const std::string &cp932Text)
{
    std::string out = cp932::ToUtf8(cp932Text);
    std::erase(out, '\r');
    return out;
}

// `utf8` as the inside of a JSON string.
std::string jsonEscaped(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size() + 2);
    for (unsigned char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out;
}

} // namespace

std::optional<ErrorFormat> ErrorFormatByName(std::string_view name)
{
    if (name == "list")
        return ErrorFormat::List;
    if (name == "gnu")
        return ErrorFormat::Gnu;
    if (name == "json")
        return ErrorFormat::Json;
    return std::nullopt;
}

std::string FormatErrors(const ErrorText &errors, ErrorFormat format, const std::string &fileName)
{
    if (format == ErrorFormat::List)
        return listForTerminal(errors.str());
    std::string out;
    if (format == ErrorFormat::Gnu) {
        for (const ErrorEntry &e : errors.entries())
            out += fileName + ":" + std::to_string(e.lineNo) + ": " + cp932::ToUtf8(e.message) +
                   ": " + cp932::ToUtf8(e.lineText) + "\n";
        return out;
    }
    out = "[";
    const std::string file = jsonEscaped(fileName);
    for (const ErrorEntry &e : errors.entries()) {
        out += out.size() == 1 ? "\n" : ",\n";
        out += "  {\"file\": \"" + file + "\", \"line\": " + std::to_string(e.lineNo) +
               ", \"code\": " + std::to_string(e.code) + ", \"message\": \"" +
               jsonEscaped(cp932::ToUtf8(e.message)) + "\", \"text\": \"" +
               jsonEscaped(cp932::ToUtf8(e.lineText)) + "\"}";
    }
    out += out.size() == 1 ? "]\n" : "\n]\n";
    return out;
}
