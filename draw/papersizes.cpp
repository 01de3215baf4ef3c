// The paper table: printer paper-size codes with their exact sizes in 0.1 mm.
#include "papersizes.h"

#include <array>
#include <charconv>

namespace {

struct Paper {
    int code;
    const char *name; // nullptr where only the code selects it
    PaperSize size;
};

constexpr std::array<Paper, 31> kPapers{{
    {1, "letter", {2159, 2794}},
    {2, nullptr, {2159, 2794}},  // letter small
    {3, "tabloid", {2794, 4318}},
    {4, "ledger", {4318, 2794}},
    {5, "legal", {2159, 3556}},
    {6, "statement", {1397, 2159}},
    {7, "executive", {1841, 2667}},
    {8, "a3", {2970, 4200}},
    {9, "a4", {2100, 2970}},
    {10, nullptr, {2100, 2970}}, // A4 small
    {11, "a5", {1480, 2100}},
    {12, "b4", {2570, 3640}},    // JIS B4
    {13, "b5", {1820, 2570}},    // JIS B5
    {14, "folio", {2159, 3302}},
    {15, "quarto", {2150, 2750}},
    {16, nullptr, {2540, 3556}}, // 10 x 14 in
    {17, nullptr, {2794, 4318}}, // 11 x 17 in
    {18, nullptr, {2159, 2794}}, // note
    {19, nullptr, {984, 2254}},  // envelope #9
    {20, nullptr, {1048, 2413}}, // envelope #10
    {27, "dl", {1100, 2200}},
    {28, "c5", {1620, 2290}},
    {34, nullptr, {1760, 2500}}, // envelope B5
    {43, "postcard", {1000, 1480}},
    {69, "doublepostcard", {2000, 1480}},
    {70, "a6", {1050, 1480}},
    {71, "kaku2", {2400, 3320}}, // Japanese envelopes
    {72, "kaku3", {2160, 2770}},
    {73, "chou3", {1200, 2350}},
    {74, "chou4", {900, 2050}},
    {91, "you4", {1050, 2350}},
}};

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char c = a[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
        if (c != b[i])
            return false;
    }
    return true;
}

} // namespace

std::optional<PaperSize> PaperByCode(int code)
{
    for (const Paper &p : kPapers)
        if (p.code == code)
            return p.size;
    return std::nullopt;
}

std::vector<std::string_view> PaperNames()
{
    std::vector<std::string_view> names;
    for (const Paper &p : kPapers)
        if (p.name)
            names.emplace_back(p.name);
    return names;
}

std::optional<PaperSize> PaperByName(std::string_view name)
{
    int code = 0;
    auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), code);
    if (ec == std::errc() && end == name.data() + name.size())
        return PaperByCode(code);
    for (const Paper &p : kPapers)
        if (p.name && equalsIgnoringCase(name, p.name))
            return p.size;
    return std::nullopt;
}
