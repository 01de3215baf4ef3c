// Integer variables and string abbreviations: the initialisation lines run before a page.
#pragma once

#include "frame.h"

#include <string_view>

class CCommandEngine;

// Executes a "$$aa value" line of the first initialisation pass from its tokens.
void InitialiseVariable(CCommandEngine &engine, const TokenList &tokens);

// Executes a "}{aa}text" line of the second initialisation pass.
void InitialiseAbbreviation(CCommandEngine &engine, std::string_view line);
