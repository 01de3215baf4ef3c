// How zentova-print writes a job's errors on standard error: the error list people read,
// or one line per error as compilers write them, or JSON.
#pragma once

#include <optional>
#include <string>
#include <string_view>

class ErrorText;

enum class ErrorFormat {
    List, // the error list, two lines per faulty line, as the desktop program shows it
    Gnu,  // FILE:LINE: MESSAGE: LINE AS WRITTEN
    Json, // one array of {"file", "line", "code", "message", "text"}
};

// The format of an --error-format value: "list", "gnu" or "json".
std::optional<ErrorFormat> ErrorFormatByName(std::string_view name);

// The errors of a job in `format`, UTF-8 with LF line ends. `fileName` is the command
// file as the user named it. The list and gnu forms of a job without errors are empty;
// the JSON form is then "[]", so that a reader always finds one array.
std::string FormatErrors(const ErrorText &errors, ErrorFormat format,
                         const std::string &fileName);
