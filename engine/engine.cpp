// The page run: initialisation passes over the whole text, section cut, dispatch.
#include "engine.h"

#include "codepage.h"
#include "dispatch.h"
#include "errors.h"
#include "frame.h"
#include "tokenizer.h"
#include "variables.h"
#include "viewstate.h"

#include <algorithm>
#include <cstring>

namespace {

int clampAdjust(int v)
{
    return std::clamp(v, -100, 0);
}

// Position of the next line of `text` that begins with `prefix` (two bytes), or npos. The
// prefixes ("$$", "}{") start with bytes that are rare in command text, so the search
// goes from one of them to the next rather than from line to line.
std::size_t findLineStart(std::string_view text, std::string_view prefix)
{
    for (std::size_t pos = 0; pos + 1 < text.size();) {
        const void *hit = std::memchr(text.data() + pos, prefix[0], text.size() - pos - 1);
        if (!hit)
            break;
        const std::size_t at = static_cast<std::size_t>(static_cast<const char *>(hit) - text.data());
        if (text[at + 1] == prefix[1] && (at == 0 || text[at - 1] == '\n'))
            return at;
        pos = at + 1;
    }
    return std::string_view::npos;
}

} // namespace

int CountPages(std::string_view text)
{
    int pages = IsPageLine(text) ? 2 : 1;
    for (std::size_t pos = 0; (pos = FindPageLineAfter(text, pos)) != std::string_view::npos;)
        ++pages;
    return pages;
}

CCommandEngine::CCommandEngine(ViewState &v)
    : view(&v), fontName(CP932("ＭＳ 明朝"))
{
    if (v.profile) {
        adjustX = clampAdjust(v.profile->ReadInt("adjustX", 0));
        adjustY = clampAdjust(v.profile->ReadInt("adjustY", 0));
    }
    offsetX = adjustX;
    offsetY = adjustY;
}

void CCommandEngine::runVariablePass(std::string_view rest)
{
    lineNo = 1;
    TokenList tokens;
    for (;;) {
        std::size_t pos = findLineStart(rest, "$$");
        if (pos == std::string_view::npos)
            break;
        lineNo += static_cast<int>(CountLineFeeds(rest.substr(0, pos)));
        rest.remove_prefix(pos);
        prepassLine.assign(TakeLine(rest));
        TokenizeLine(prepassLine, tokens, 29, true);
        std::string_view t0 = tokens[0].view();
        if (t0.size() >= 4 && t0[2] >= 'a' && t0[2] <= 'z' && t0[3] >= 'a' && t0[3] <= 'z')
            InitialiseVariable(*this, tokens);
        ++lineNo;
    }
}

void CCommandEngine::runAbbreviationPass(std::string_view rest)
{
    lineNo = 1;
    for (;;) {
        std::size_t pos = findLineStart(rest, "}{");
        if (pos == std::string_view::npos)
            break;
        lineNo += static_cast<int>(CountLineFeeds(rest.substr(0, pos)));
        rest.remove_prefix(pos);
        prepassLine.assign(TakeLine(rest));
        const std::string &l = prepassLine;
        if (l.size() >= 5 && l[2] >= 'a' && l[2] <= 'z' && l[3] >= 'a' && l[3] <= 'z' &&
            l[4] == '}')
            InitialiseAbbreviation(*this, l);
        ++lineNo;
    }
}

void CCommandEngine::RunPage(Surface &dc, int pageNumber, std::string_view wholeText)
{
    page = pageNumber;
    runVariablePass(wholeText);
    runAbbreviationPass(wholeText);

    // The section of this page: after the (page - 1)-th page line up to the next one.
    std::string_view section = wholeText;
    lineNo = 1;
    if (page > 1) {
        int n = IsPageLine(section) ? page - 2 : page - 1;
        std::size_t pos = 0;
        for (int found = 0; found < n; ++found) {
            pos = FindPageLineAfter(section, pos);
            if (pos == std::string_view::npos)
                return; // a page beyond the last has nothing to run
        }
        lineNo += static_cast<int>(CountLineFeeds(section.substr(0, pos)));
        section.remove_prefix(pos);
        TakeLine(section);
        ++lineNo;
    }

    CommandFrame frame(*this, 0);
    RunText(frame, dc, section);
}
