// The drawing commands in the command table, and the page's drawing part.
#include "pagedrawing.h"

#include "handlers.h"

#include "engine/engine.h"
#include "engine/frame.h"

namespace {

// The drawing commands, one line each; the interpreter lists its own.
constexpr Command kDrawingCommands[] = {
    {"!", CmdImage},          // !path !!path !digit !
    {"*", CmdDrawText},       // * **
    {"/", CmdFontName},       // /name
    {":", CmdRegister},       // :. :: :& :+ :|
    {"=", CmdNumberFormat},   // =format
    {"bol", CmdBold},         // bold
    {"col", CmdColor},        // color
    {"fci", CmdCircle},       // fcircle
    {"fnu", CmdNumber},       // fnumber
    {"fre", CmdRectangle},    // frectangle
    {"fsi", CmdFontSize},     // fsize
    {"fst", CmdNumberString}, // fstring
    {"hli", CmdRule},         // hline
    {"hnu", CmdNumber},       // hnumber
    {"hra", CmdRange},        // hrange
    {"hst", CmdNumberString}, // hstring
    {"inc", CmdIncline},      // incline
    {"ita", CmdItalic},       // italic
    {"lci", CmdCircle},       // lcircle
    {"lin", CmdLine},         // line
    {"lre", CmdRectangle},    // lrectangle
    {"lwi", CmdLineWidth},    // lwidth
    {"off", CmdOffset},       // offset
    {"ori", CmdOrigin},       // origin
    {"por", CmdOrigin},       // porigin
    {"pos", CmdPosition},     // position
    {"psi", CmdPictureSize},  // psize
    {"rpo", CmdPosition},     // rposition
    {"ver", CmdVertical},     // vertical
    {"vli", CmdRule},         // vline
    {"vra", CmdRange},        // vrange
};

} // namespace

const CommandTable &DrawingCommands()
{
    static const CommandTable table{InterpreterCommandList(), kDrawingCommands};
    return table;
}

PageDrawing::PageDrawing(Surface &surface, DrawingView &v)
    : PageHost(DrawingCommands()), dc(surface), view(v)
{
}

PageDrawing &Drawing(const CommandFrame &frame)
{
    return static_cast<PageDrawing &>(*frame.engine->host);
}
