// Reading the command file, standard input included, and writing the PDF whole.
#include "stdstreams.h"

#include <QFile>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <unistd.h>

namespace {

void fail(const std::string &message)
{
    std::cerr << "zentova-print: " << message << '\n';
}

bool isStandardStream(const std::string &path)
{
    return path == kStandardStream;
}

} // namespace

std::optional<std::string> ReadCommandFile(const std::string &path)
{
    if (isStandardStream(path)) {
        std::string bytes;
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (n > 0) {
                bytes.append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0) {
                return bytes;
            } else if (errno != EINTR) {
                fail(std::string("cannot read standard input: ") + std::strerror(errno));
                return std::nullopt;
            }
        }
    }
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        fail("cannot read '" + path + "': it is a folder");
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        fail("cannot read '" + path + "': " + std::strerror(errno));
        return std::nullopt;
    }
    // Read straight into a string of the file's size: a stream buffer grown by doubling
    // and copied out again would touch several times the file's size in fresh memory.
    std::string bytes;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (!ec && size > 0 && size < bytes.max_size()) {
        bytes.resize(static_cast<std::size_t>(size));
        in.read(bytes.data(), static_cast<std::streamsize>(size));
        bytes.resize(static_cast<std::size_t>(in.gcount()));
    }
    // A file that tells no size (a pipe), or that grew meanwhile: the rest as it comes.
    if (in) {
        std::ostringstream rest;
        rest << in.rdbuf();
        bytes += rest.str();
    }
    if (in.bad()) {
        fail("cannot read '" + path + "'");
        return std::nullopt;
    }
    return bytes;
}

std::string DocumentPath(const std::string &input)
{
    std::error_code ec;
    // The name after the current folder only has to give that folder.
    return std::filesystem::absolute(isStandardStream(input) ? "stdin" : input, ec).string();
}

std::string DisplayName(const std::string &input)
{
    return isStandardStream(input) ? "<stdin>" : input;
}

PdfOutput::PdfOutput(const std::string &path) : m_path(path) {}

PdfOutput::~PdfOutput() = default;

bool PdfOutput::open()
{
    if (isStandardStream(m_path)) {
        m_temporary = std::make_unique<QTemporaryFile>();
        if (!m_temporary->open()) {
            m_error = m_temporary->errorString();
            return false;
        }
        return true;
    }
    m_file = std::make_unique<QSaveFile>(QString::fromStdString(m_path));
    if (!m_file->open(QIODevice::WriteOnly)) {
        m_error = m_file->errorString();
        return false;
    }
    return true;
}

QIODevice *PdfOutput::device() const
{
    if (m_temporary)
        return m_temporary.get();
    return m_file.get();
}

bool PdfOutput::commit()
{
    if (m_file) {
        if (!m_file->commit()) {
            m_error = m_file->errorString();
            return false;
        }
        return true;
    }
    QFile out;
    if (!m_temporary->flush() || !m_temporary->seek(0) ||
        !out.open(STDOUT_FILENO, QIODevice::WriteOnly)) {
        m_error = QStringLiteral("cannot write standard output");
        return false;
    }
    char buffer[65536];
    for (qint64 n; (n = m_temporary->read(buffer, sizeof buffer)) > 0;) {
        if (out.write(buffer, n) != n) {
            m_error = out.errorString();
            return false;
        }
    }
    if (!out.flush()) {
        m_error = out.errorString();
        return false;
    }
    return true;
}

std::string PdfOutput::errorString() const
{
    return m_error.toStdString();
}
