// The benchmark form in its three forms: marks, command file, PostScript.
#include "formgen.h"

#include "engine/codepage.h"

#include <cstdio>

namespace formgen {

namespace {

constexpr int kLeft = 100, kRight = 2000, kTop = 200, kBottom = 2800;
constexpr int kRows = 31, kColumns = 30;

// The kanji of code page 932 in code order, from the first (0x889F), as their bytes.
const std::vector<std::string> &kanji()
{
    static const std::vector<std::string> all = [] {
        std::vector<std::string> list;
        for (int lead = 0x88; lead <= 0xEA; ++lead) {
            if (lead >= 0xA0 && lead < 0xE0)
                continue;
            for (int trail = lead == 0x88 ? 0x9F : 0x40; trail <= 0xFC; ++trail) {
                const std::string c{char(lead), char(trail)};
                if (trail != 0x7F && cp932::ToUtf8(c).find("\xEF\xBF\xBD") == std::string::npos)
                    list.push_back(c);
            }
        }
        return list;
    }();
    return all;
}

} // namespace

std::vector<Rule> PageRules()
{
    std::vector<Rule> rules;
    for (int i = 0; i < kRows; ++i) {
        const int y = kTop + (kBottom - kTop) * i / (kRows - 1);
        rules.push_back({kLeft, y, kRight, y});
    }
    for (int i = 0; i < kColumns; ++i) {
        const int x = kLeft + (kRight - kLeft) * i / (kColumns - 1);
        rules.push_back({x, kTop, x, kBottom});
    }
    return rules;
}

std::vector<Label> PageLabels(int page, bool withKanji)
{
    std::vector<Label> labels;
    char text[32];
    for (int i = 0; i < 100; ++i) {
        const int row = i / 4, column = i % 4;
        std::snprintf(text, sizeof text, "No.%05d-%02d ", page, i);
        std::string label = text;
        if (withKanji)
            label += kanji()[static_cast<std::size_t>((page - 1) * 100 + i) % kanji().size()];
        else
            label += char('A' + (page + i) % 26);
        labels.push_back({kLeft + 20 + column * 470, kTop + 10 + row * 100, label});
    }
    return labels;
}

std::string CommandText(int pages, bool kanji)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(pages) * 5800);
    char line[96];
    for (int page = 1; page <= pages; ++page) {
        if (page > 1)
            out += "page\r\n";
        std::snprintf(line, sizeof line,
                      "hrange %d %d\r\nhline %d %d -%d\r\nvrange %d %d\r\nvline %d %d -%d\r\n",
                      kLeft, kRight, kTop, kBottom, kRows, kTop, kBottom, kLeft, kRight, kColumns);
        out += line;
        for (const Label &label : PageLabels(page, kanji)) {
            std::snprintf(line, sizeof line, "position %d %d\r\n:.%s\r\n*\r\n", label.x, label.y,
                          label.text.c_str());
            out += line;
        }
    }
    return out;
}

std::string PostScript(int pages)
{
    std::string out = "%!PS-Adobe-3.0\n%%Pages: " + std::to_string(pages) +
                      "\n/p { 72 mul 254 div } def\n"
                      "/r { 4 2 roll p 842 exch p sub moveto p 842 exch p sub lineto stroke } def\n"
                      "/t { 3 1 roll p 842 exch p sub 10.6 sub moveto show } def\n";
    out.reserve(static_cast<std::size_t>(pages) * 4000);
    char line[96];
    const std::vector<Rule> rules = PageRules();
    for (int page = 1; page <= pages; ++page) {
        out += "%%Page: " + std::to_string(page) + " " + std::to_string(page) +
               "\n<< /PageSize [595 842] >> setpagedevice 0 setlinewidth "
               "/Times-Roman 12 selectfont\n";
        for (const Rule &r : rules) {
            std::snprintf(line, sizeof line, "%d %d %d %d r\n", r.x1, r.y1, r.x2, r.y2);
            out += line;
        }
        for (const Label &label : PageLabels(page)) {
            std::snprintf(line, sizeof line, "%d %d (%s) t\n", label.x, label.y,
                          label.text.c_str());
            out += line;
        }
        out += "showpage\n";
    }
    out += "%%EOF\n";
    return out;
}

} // namespace formgen
