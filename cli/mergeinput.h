// zentova-print's data file for merge printing (--data, --records).
#pragma once

#include "merge/datafile.h"

#include <memory>

struct Options;

// Reads the data file of --data and checks the records that --records chooses; null
// after saying on standard error what is wrong (naming the file, line and column).
// `unheld` becomes true when a chosen record's field holds a character that prints as
// "?"; each such field is named on standard error by record and column.
std::unique_ptr<DataFile> ReadDataFile(const Options &options, bool &unheld);
