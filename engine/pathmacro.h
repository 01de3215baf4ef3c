// Path macros: %Desktop%, %Documents%, %Pictures%, %ProgramFiles%, %Zentova%, %With%.
#pragma once

#include <string>

struct ViewState;

// Rewrites `path` in place when it begins with a macro whose folder is known: the first
// three characters (%DE %DO %PI %PR %ZE %WI, any case) choose the folder, the closing "%"
// (at the fourth character or later) ends the macro, and one separator after it is dropped.
// Anything else leaves the path as it was.
void ExpandPathMacro(const ViewState &view, std::string &path);

// Turns a full path into its macro form: the first of the document's folder, the
// program's, pictures, documents, desktop and program files folders that the path begins
// with (ignoring letter case) is replaced by its macro.
void AbbreviatePath(const ViewState &view, std::string &path);
