// Pattern lists of image plug-ins.
#include "image/filterpatterns.h"

#include "engine/codepage.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::size_t kMaxPieces = 4096;

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

void StripBlanks(std::string &text)
{
    std::erase(text, ' ');
}

int MergePatterns(std::string &all, const MessageHook &message)
{
    if (all.empty()) {
        if (message)
            message(CP932("spiextadd error : spiextが０です。"));
        return -1;
    }
    std::vector<std::string_view> pieces;
    std::string_view rest = all;
    while (true) {
        const std::size_t end = rest.find(';');
        pieces.push_back(rest.substr(0, end));
        if (pieces.size() == kMaxPieces) {
            if (message)
                message(CP932("SUSIE-Plug inの対応画像が規定値を超えました。"));
            break;
        }
        if (end == std::string_view::npos)
            break;
        rest.remove_prefix(end + 1);
    }
    std::string merged(pieces.front());
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        const auto earlier = pieces.begin() + static_cast<std::ptrdiff_t>(i);
        const bool repeated = std::any_of(pieces.begin(), earlier, [&](std::string_view p) {
            return EqualsIgnoringCase(p, pieces[i]);
        });
        if (!repeated) {
            merged += "; ";
            merged += pieces[i];
        }
    }
    all = std::move(merged);
    return 0;
}

std::string_view FileExtension(std::string_view path)
{
    const std::size_t nameStart = path.rfind('/');
    const std::string_view name =
        nameStart == std::string_view::npos ? path : path.substr(nameStart + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
           && std::equal(a.begin(), a.end(), b.begin(),
                         [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

bool PatternsMatchExtension(std::string_view patterns, std::string_view ext)
{
    if (patterns.empty() || patterns.front() != '*')
        return false;
    std::string list(patterns);
    StripBlanks(list);
    std::string_view rest = list;
    while (!rest.empty()) {
        const std::size_t end = rest.find(';');
        const std::string_view piece = rest.substr(0, end);
        // "*.jpg" names ".jpg": the piece without its first character.
        if (!piece.empty() && EqualsIgnoringCase(piece.substr(1), ext))
            return true;
        if (end == std::string_view::npos)
            break;
        rest.remove_prefix(end + 1);
    }
    return false;
}
