// PDF files written by the program's own PDF writer, for zentova-print and for the
// desktop program's PDF-file printer.
#pragma once

#include "printerjob.h"

#include "draw/pdf/pdfjob.h"

#include <QString>

#include <string>
#include <string_view>
#include <vector>

class QIODevice;
class QPrinter;

// Writes the job's pages `pages` in their order (the job prepared and begun on `view`) as a PDF
// titled `title` into `device`, open for writing; anything but Complete leaves there what
// must be thrown away. `hooks.makeShaper` may be left empty: the QPainter surface's
// shaper is taken.
PdfJobEnd WritePdf(QIODevice &device, const std::string &title, PrintJob &job,
                   DrawingView &view, const std::vector<int> &pages, PdfJobHooks hooks);

// The same into the file `path`, which appears only when the job ran to its end: until
// then an earlier file of that name stays as it was. On Failed, `error` says why.
PdfJobEnd WritePdfFile(const QString &path, const std::string &title, PrintJob &job,
                       DrawingView &view, const std::vector<int> &pages, PdfJobHooks hooks,
                       std::string &error);

// PrintDocument for a printer that writes a PDF file (CPrintController::IsPdfFileTarget):
// the same pages, paper and error list, written by our own writer with the paper's
// corner as origin. `printed` says whether the file was written whole; when the file could
// not be written, `failure` (if given) says why, and is left empty otherwise.
bool PrintPdfFile(QPrinter &printer, DrawingView &view, std::string_view text,
                  std::string_view documentPath, const PrintProgress &progress = {},
                  bool *printed = nullptr, const MergeSelection &merge = {},
                  std::string *failure = nullptr);
