// zentova-print in a pipeline: the command file from standard input ("-"), the PDF to
// standard output ("-o -").
#pragma once

#include <QString>

#include <memory>
#include <optional>
#include <string>

class QIODevice;
class QSaveFile;
class QTemporaryFile;

// The name that stands for standard input or output on the command line.
inline constexpr const char *kStandardStream = "-";

// The bytes of the command file `path`, or of standard input for "-"; nullopt after
// saying on standard error why they cannot be read.
std::optional<std::string> ReadCommandFile(const std::string &path);

// The command file's path in the file system for the job: its folder is what %With%
// stands for. Standard input stands in the current folder.
std::string DocumentPath(const std::string &input);

// How the command file is named in messages and diagnostics.
std::string DisplayName(const std::string &input);

// Where a PDF goes: a file that appears, whole, only when the job is committed, or
// standard output ("-"), fed from a temporary file on commit; either way a job that
// stops half-way leaves nothing behind.
class PdfOutput {
public:
    explicit PdfOutput(const std::string &path);
    ~PdfOutput();
    PdfOutput(const PdfOutput &) = delete;
    PdfOutput &operator=(const PdfOutput &) = delete;

    // Opens the file (or the temporary file); false with errorString() on failure.
    bool open();
    QIODevice *device() const;
    // Puts the written PDF in its place; false with errorString() on failure.
    bool commit();
    std::string errorString() const;

private:
    std::string m_path;
    std::unique_ptr<QSaveFile> m_file;
    std::unique_ptr<QTemporaryFile> m_temporary;
    QString m_error;
};
