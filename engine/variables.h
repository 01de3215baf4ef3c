// Integer variables and string abbreviations: the initialisation lines run before a page.
#pragma once

#include "frame.h"

#include <string_view>

class CCommandEngine;

// Executes a "$$aa value" line of the first initialisation pass from its tokens.
void InitialiseVariable(CCommandEngine &engine, const TokenList &tokens);

// Executes a "}{aa}text" line of the second initialisation pass.
void InitialiseAbbreviation(CCommandEngine &engine, std::string_view line);

// Sets abbreviation `index` (0-675) to `value` as a "}{aa}" line does: unless the value is
// longer than an abbreviation may be, or the abbreviations together would grow beyond
// their bound. Returns 0, or the error code (22) and keeps the old value.
int DefineAbbreviation(CCommandEngine &engine, int index, std::string_view value);
