// The handlers of the interpreter's own commands, listed in its part of the command table
// (commandtable.cpp). The drawing layer lists its own.
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

// Calls.
void CmdCall(CommandFrame &frame); // <path
