// The pen of outlined marks, shared by lines and shapes.
#pragma once

#include "surface.h"

class CCommandEngine;

// The pen that `lwidth` chose, in the drawing colour.
Pen LinePen(const CCommandEngine &engine);
