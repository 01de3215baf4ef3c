// The ToUnicode CMap of an embedded font.
#include "tounicode.h"

#include "syntax.h"

#include <algorithm>
#include <vector>

namespace pdf {

namespace {

struct Mapping {
    std::uint32_t code;
    std::string target; // UTF-16BE as hex
    std::uint32_t last; // the last code of a range starting at `code`
};

// The single UTF-16 unit that `hex` holds, or -1 when it holds more than one.
long singleUnit(const std::string &hex)
{
    return hex.size() == 4 ? std::stol(hex, nullptr, 16) : -1;
}

void appendBlock(std::string &out, const std::vector<Mapping> &block, bool ranges)
{
    if (block.empty())
        return;
    AppendInt(out, static_cast<long long>(block.size()));
    out += ranges ? " beginbfrange\n" : " beginbfchar\n";
    for (const Mapping &m : block) {
        out += '<';
        AppendHex4(out, m.code);
        if (ranges) {
            out += "><";
            AppendHex4(out, m.last);
        }
        out += "><";
        out += m.target;
        out += ">\n";
    }
    out += ranges ? "endbfrange\n" : "endbfchar\n";
}

} // namespace

std::string ToUnicodeCMap(const std::map<std::uint32_t, std::string> &texts)
{
    std::vector<Mapping> mappings;
    for (const auto &[code, text] : texts) {
        std::string target;
        AppendUtf16Hex(target, text);
        if (target.empty())
            continue;
        // A range may only vary the last byte of its codes and of its single target.
        if (!mappings.empty()) {
            Mapping &previous = mappings.back();
            const long unit = singleUnit(target), first = singleUnit(previous.target);
            const long steps = static_cast<long>(previous.last - previous.code) + 1;
            if (code == previous.last + 1 && (code >> 8) == (previous.code >> 8) && unit >= 0 &&
                first >= 0 && unit == first + steps && (unit >> 8) == (first >> 8)) {
                previous.last = code;
                continue;
            }
        }
        mappings.push_back({code, target, code});
    }
    std::vector<Mapping> chars, ranges;
    for (Mapping &m : mappings)
        (m.last == m.code ? chars : ranges).push_back(std::move(m));

    std::string out = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                      "/CIDSystemInfo <</Registry (Adobe) /Ordering (UCS) /Supplement 0>> def\n"
                      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                      "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    constexpr std::size_t kBlock = 100; // entries a block may hold
    for (std::size_t i = 0; i < chars.size(); i += kBlock)
        appendBlock(out, {chars.begin() + i, chars.begin() + std::min(chars.size(), i + kBlock)},
                    false);
    for (std::size_t i = 0; i < ranges.size(); i += kBlock)
        appendBlock(out, {ranges.begin() + i, ranges.begin() + std::min(ranges.size(), i + kBlock)},
                    true);
    out += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return out;
}

} // namespace pdf
