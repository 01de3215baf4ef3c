// Paper names, codes and custom sizes on the command line.
#include "paperoption.h"

#include <charconv>

namespace {

// Millimetres with at most one decimal as tenths of a millimetre; -1 when it is no such
// number or larger than any paper.
int tenthsOfMillimetre(std::string_view text)
{
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    int mm = 0;
    auto [end, ec] = std::from_chars(whole.data(), whole.data() + whole.size(), mm);
    if (whole.empty() || ec != std::errc() || end != whole.data() + whole.size() || mm < 0 ||
        mm > kMaxPaperSide)
        return -1;
    int tenth = 0;
    if (point != std::string_view::npos) {
        const std::string_view decimal = text.substr(point + 1);
        if (decimal.size() != 1 || decimal[0] < '0' || decimal[0] > '9')
            return -1;
        tenth = decimal[0] - '0';
    }
    return mm * 10 + tenth;
}

} // namespace

std::string ParsePaperOption(std::string_view value, PaperSize &paper)
{
    if (std::optional<PaperSize> named = PaperByName(value)) {
        paper = *named;
        return "";
    }
    const std::size_t x = value.find_first_of("xX");
    if (x == std::string_view::npos)
        return "unknown paper '" + std::string(value) +
               "' (a name, a printer paper-size code or WxH in millimetres)";
    const int w = tenthsOfMillimetre(value.substr(0, x));
    const int h = tenthsOfMillimetre(value.substr(x + 1));
    if (w < 0 || h < 0)
        return "bad paper size '" + std::string(value) +
               "' (WxH in millimetres, at most one decimal, for example 90x55)";
    if (w == 0 || h == 0 || w > kMaxPaperSide || h > kMaxPaperSide)
        return "paper size '" + std::string(value) +
               "' out of range (each side above 0 and at most 2000 mm)";
    paper = {w, h};
    return "";
}
