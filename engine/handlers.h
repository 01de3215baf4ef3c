// Every command handler of the language. The dispatcher's table names them; the handlers
// of the interpreter itself live in engine/, the drawing commands in draw/.
#pragma once

struct CommandFrame;

// Variables and abbreviations.
void CmdAssign(CommandFrame &frame);             // $aa value
void CmdDefineAbbreviation(CommandFrame &frame); // {aa}text
void CmdStore(CommandFrame &frame);              // store restore cstore crestore

// Flow.
void CmdSkip(CommandFrame &frame);   // skip nskip
void CmdRepeat(CommandFrame &frame); // repeat
void CmdPage(CommandFrame &frame);   // page

// Calls and pictures.
void CmdCall(CommandFrame &frame);        // <path
void CmdImage(CommandFrame &frame);       // !path !!path
void CmdPictureSize(CommandFrame &frame); // psize

// Position, origin, offset, colour.
void CmdOffset(CommandFrame &frame);   // offset
void CmdPosition(CommandFrame &frame); // position rposition
void CmdOrigin(CommandFrame &frame);   // origin porigin
void CmdColor(CommandFrame &frame);    // color

// Text.
void CmdRegister(CommandFrame &frame); // :. :: :& :+ :|
void CmdDrawText(CommandFrame &frame); // * **
void CmdIncline(CommandFrame &frame);  // incline
void CmdFontName(CommandFrame &frame); // /name
void CmdBold(CommandFrame &frame);     // bold
void CmdItalic(CommandFrame &frame);   // italic
void CmdVertical(CommandFrame &frame); // vertical
void CmdFontSize(CommandFrame &frame); // fsize

// Integers.
void CmdNumberFormat(CommandFrame &frame); // =format
void CmdNumber(CommandFrame &frame);       // hnumber fnumber
void CmdNumberString(CommandFrame &frame); // hstring fstring

// Lines and shapes.
void CmdLineWidth(CommandFrame &frame); // lwidth
void CmdLine(CommandFrame &frame);      // line
void CmdRange(CommandFrame &frame);     // hrange vrange
void CmdRule(CommandFrame &frame);      // hline vline
void CmdRectangle(CommandFrame &frame); // lrectangle frectangle
void CmdCircle(CommandFrame &frame);    // lcircle fcircle
