// The drawing layer's part of one page run: its commands, the surface and the pictures.
#pragma once

#include "drawingview.h"

#include "engine/pagehost.h"

class Surface;
struct CommandFrame;

// Built for one page next to its engine (CCommandEngine(view, &drawing)): the engine then
// knows the drawing commands as well as its own, and their handlers reach this through
// Drawing(frame). Called files draw on their caller's page, so they share it.
class PageDrawing : public PageHost {
public:
    PageDrawing(Surface &dc, DrawingView &view);

    Surface &dc;          // the page's surface
    DrawingView &view;    // the pictures of the job and the clipboard slots
    ImageRef lastImage;   // the picture of the last `!` or `!!` that found one
};

// The whole language: the interpreter's commands and the drawing commands in one table.
const CommandTable &DrawingCommands();

// The page's drawing part, for a drawing command's handler: every engine that runs one
// carries a PageDrawing, since only a PageDrawing brings the drawing commands.
PageDrawing &Drawing(const CommandFrame &frame);
