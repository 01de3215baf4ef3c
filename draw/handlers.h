// The handlers of the drawing commands, listed in the drawing layer's part of the command
// table (pagedrawing.cpp).
#pragma once

struct CommandFrame;

// Pictures.
void CmdImage(CommandFrame &frame);       // !path !!path !digit !
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
