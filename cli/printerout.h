// zentova-print --printer: a command file printed on a CUPS printer by the same routine as
// the desktop program's print command; and the progress line that jobs of many pages show.
#pragma once

#include <string>

struct Options;
class DataFile;
class JobStop;
struct DrawingView;

// Prints `text` (code page 932, CR LF) on the printer that `options` names ("" = the
// default printer), with the paper, orientation and pages of `options`; `view` is set up
// with the settings and clipboard slots of the job. Prints the error list on standard
// error and, for jobs of many pages on a terminal, the progress. Returns the exit status:
// 0 no interpreter errors, 1 errors, 2 an unknown printer, a paper it cannot take, a page
// range outside the file, or a job that could not be printed; JobStop's status when `stop`
// cancelled the job. With `data` (merge printing), the records of `options`, one copy of
// the document each, and its pages within every copy.
int PrintOnPrinter(const Options &options, DrawingView &view, const std::string &text,
                   const JobStop &stop, const DataFile *data = nullptr);

// The progress line after `done` of `total` pages ("" when the job is too short for one):
// "\rpage N/M", N being the page now printing, and a line end once every page is done.
std::string PrintProgressLine(int done, int total);
