// The page run: the initialisation lines of the whole text, then the page's own section.
#include "engine.h"

#include "codepage.h"
#include "commandtable.h"
#include "dispatch.h"
#include "errors.h"
#include "frame.h"
#include "pagehost.h"
#include "tokenizer.h"
#include "variables.h"
#include "viewstate.h"

#include <algorithm>

namespace {

int clampAdjust(int v)
{
    return std::clamp(v, -100, 0);
}

} // namespace

CCommandEngine::CCommandEngine(ViewState &v, PageHost *h)
    : view(&v), host(h), commands(h ? &h->commands() : &InterpreterCommands()),
      fontName(CP932("ＭＳ 明朝"))
{
    if (v.profile) {
        adjustX = clampAdjust(v.profile->ReadInt("adjustX", 0));
        adjustY = clampAdjust(v.profile->ReadInt("adjustY", 0));
    }
    offsetX = adjustX;
    offsetY = adjustY;
}

// Each initialisation pass runs its lines in text order, each with its own line number for
// the errors it reports. The passes stop early only when the job is stopped.
bool CCommandEngine::runVariablePass(const PageIndex &index)
{
    TokenList tokens;
    const LineList &lines = index.variableLines();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const LineList::Line at = lines[i];
        std::string_view rest = index.text().substr(at.offset);
        lineNo = at.lineNo;
        prepassLine.assign(TakeLine(rest));
        TokenizeLine(prepassLine, tokens, 29, true);
        std::string_view t0 = tokens[0].view();
        if (t0.size() >= 4 && t0[2] >= 'a' && t0[2] <= 'z' && t0[3] >= 'a' && t0[3] <= 'z')
            InitialiseVariable(*this, tokens);
        if (JobStopped(*view))
            return false;
    }
    return true;
}

bool CCommandEngine::runAbbreviationPass(const PageIndex &index)
{
    const LineList &lines = index.abbreviationLines();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const LineList::Line at = lines[i];
        std::string_view rest = index.text().substr(at.offset);
        lineNo = at.lineNo;
        prepassLine.assign(TakeLine(rest));
        const std::string &l = prepassLine;
        if (l.size() >= 5 && l[2] >= 'a' && l[2] <= 'z' && l[3] >= 'a' && l[3] <= 'z' &&
            l[4] == '}')
            InitialiseAbbreviation(*this, l);
        if (JobStopped(*view))
            return false;
    }
    return true;
}

void CCommandEngine::RunPage(const PageIndex &index, int pageNumber)
{
    page = pageNumber;
    if (!runVariablePass(index) || !runAbbreviationPass(index))
        return;
    if (afterInitialisation)
        afterInitialisation(*this);
    // The section of this page: after the (page - 1)-th page line up to the next one.
    const std::optional<LineList::Line> section = index.Section(page);
    if (!section)
        return; // a page beyond the last has nothing to run
    lineNo = section->lineNo;
    CommandFrame frame(*this, 0);
    pageFrame = &frame;
    RunText(frame, index.text().substr(section->offset));
    pageFrame = nullptr;
}

int CCommandEngine::PageLine() const
{
    return pageFrame ? pageFrame->lineNo : 0;
}
