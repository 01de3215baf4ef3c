// From a path in a command file to a file on this system.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// The file system's name for a path written in a command file (code page 932): converted to
// UTF-8, with every "\" that is not the second byte of a two-byte character read as "/", so
// that paths written on Windows keep working. A path that cannot be converted is returned
// as it stands.
std::string ToFileSystemPath(std::string_view cp932Path);

// The existing file or folder that `fsPath` names. When it does not exist as written, the
// path is looked up again one name at a time, each name ignoring letter case (as on the
// file systems the command files were written for). Returns "" when nothing matches.
std::string FindExistingPath(const std::string &fsPath);

// The folder part of a code page 932 path up to and including its last separator ("\" or
// "/", the second byte of a two-byte character excluded); "" when it has none.
std::string FolderOfPath(std::string_view cp932Path);

// Opens `fsPath` for reading when it names a regular file, else returns nullptr. Nothing
// else is opened: a FIFO would keep the job waiting for a writer, and a device may act on
// being opened.
std::FILE *OpenRegularFile(const std::string &fsPath);

// Reads a whole regular file of at most `maxBytes` bytes into `data`. False when the file
// cannot be opened, is not a regular file or is larger.
bool ReadWholeFile(const std::string &fsPath, std::string &data, std::size_t maxBytes);
