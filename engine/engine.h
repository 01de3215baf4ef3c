// The interpreter state of one page run, and the page run itself.
#pragma once

#include "pageindex.h"
#include "textlines.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>

class CommandTable;
class PageHost;
struct CommandFrame;
struct ViewState;

// The interpreter of one page: built for one RunPage and destroyed after it. Every drawing
// command reads and writes these fields; called files share them with their caller.
class CCommandEngine {
public:
    // Reads the print-position adjustment through the view's profile, each value clamped
    // to -100..0, and starts the offset there. The commands are the interpreter's own and
    // those of `host`, whose state for this page the host's handlers reach through `host`;
    // without a host, only the interpreter's own.
    explicit CCommandEngine(ViewState &view, PageHost *host = nullptr);
    virtual ~CCommandEngine() = default;
    CCommandEngine(const CCommandEngine &) = delete;
    CCommandEngine &operator=(const CCommandEngine &) = delete;

    // Runs page `page` (1-based) of the text of `index`: the initialisation lines of the
    // whole text, then the page's own section.
    void RunPage(const PageIndex &index, int page);

    // The line of the page's own text that is running: the `<` line while a called file
    // runs, the `*` line while its copies are drawn, the line of a `repeat` range as it
    // runs again. 0 outside the page's section (the initialisation lines).
    int PageLine() const;

    bool recordErrors = false;
    std::string nestedCallPath;
    std::string errorCallPath;
    int errorCallLine = 0;
    ViewState *view;
    PageHost *host;
    const CommandTable *commands;
    int page = 0;
    int lineNo = 1;
    RegisteredText text;
    std::string fontName;
    std::string numberFormat = "%d";
    int fontCharset = 128;
    int fontPitchFamily = 1;
    int fontSize = 120;
    int bold = 0;
    int italic = 0;
    int offsetX = 0, offsetY = 0;
    int adjustX = 0, adjustY = 0;
    int posX = 0, posY = 0;
    int textOriginCol = 0, textOriginRow = 0;
    int imageOriginCol = 0, imageOriginRow = 0;
    int vertical = 0;
    int hrangeStart = 0, hrangeEnd = 0;
    int vrangeStart = 0, vrangeEnd = 0;
    int lineStyle = 0;
    int lineWidth = 0;
    int imageWidth = 0, imageHeight = 0;
    int imageRadius = 0;
    int imageDirection = 1;
    int imageDirectionNegative = 0;
    int lastImagePixelWidth = 0, lastImagePixelHeight = 0;
    int lastTextWidth = 0, lastTextHeight = 0;
    int lastImageWidth = 0, lastImageHeight = 0;
    unsigned color = 0;
    std::array<int, 676> variables{};
    std::array<std::string, 676> abbreviations;
    std::string prepassLine;
    const CommandFrame *pageFrame = nullptr; // the page's own frame while its section runs

    // Runs after the initialisation lines and before the page's own section: merge
    // printing defines a record's fields here, and names the record in recordNumber.
    std::function<void(CCommandEngine &)> afterInitialisation;
    int recordNumber = 0; // the data record bound to the page, 0 = none; errors name it

private:
    bool runVariablePass(const PageIndex &index);
    bool runAbbreviationPass(const PageIndex &index);
};
