// What the command insertion tools (F3 to F6) write: the lines, the image file filter, and
// the paths shortened by the path macros.
#pragma once

#include <QString>

#include <string_view>

class QColor;
struct ViewState;

// "color", TAB, R, TAB, G, TAB, B and a line break.
QString ColorCommandLine(const QColor &color);

// A Windows file-dialog filter ("description|patterns|...||", code page 932, patterns
// separated by ";") as a Qt file-dialog filter ("description (patterns);;..."). File names
// on Linux are case sensitive, so each "*.ext" pattern is offered in lower and upper case
// as well.
QString QtFileFilter(std::string_view windowsFilter);

// The image tool's filter: every format of the plug-ins in the program's folder and the
// bitmap reader's, as the image reader lists them.
QString ImageFileFilter(const ViewState &view);

// The command file tool's filter.
QString CallFileFilter();

// `prefix` ("!" or "<") and `chosenPath` shortened by the first path macro whose folder
// it lies in, the document's folder (`documentPath`'s, none for an untitled document)
// counting as %With%. Sets the view's base folder to that folder, as a print job would.
QString PathCommandLine(ViewState &view, const QString &prefix, const QString &chosenPath,
                        const QString &documentPath);
