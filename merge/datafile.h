// The data file of merge printing: a CSV or TSV file whose header names abbreviations and
// whose every row is one record, printed as one copy of the document.
#pragma once

#include <memory>
#include <string>
#include <vector>

// Why a data file was refused. `line` is a line of the file (1-based; for a quoted field
// that is never closed, the line where it began) and `column` a field's place in its row
// (1-based); both are 0 where the whole file is meant.
struct DataFileProblem {
    enum class Kind {
        Unreadable,    // missing, a folder, or not readable: `detail` says why
        NoHeader,      // not one line in the file
        BadName,       // a header cell that is not two letters: `detail` is the cell
        DuplicateName, // `detail` is the name, `otherColumn` the column that had it first
        SurplusField,  // a non-empty field beyond the header's last column
        UnclosedQuote, // a quoted field without its closing quote
        FieldTooLong,  // a field longer than an abbreviation may be
    };
    Kind kind = Kind::Unreadable;
    int line = 0;
    int column = 0;
    int otherColumn = 0;
    std::string detail; // text from the file in UTF-8, or the system's reason
};

// A named column: its place in a row (0-based) and the abbreviation it defines.
struct DataColumn {
    int index;
    int slot;         // 0-675, as VariableIndex gives it
    std::string name; // two letters as the header writes them
};

// A field of a named column with characters that code page 932 cannot hold; they print
// as "?".
struct UnheldField {
    int record;
    int column; // 1-based place in the row
};

// The records of a data file, checked whole when it is read. Comma-separated, or
// tab-separated when the name ends in ".tsv"; quoting as in RFC 4180 (a quoted field may
// hold separators, doubled quotes and line breaks); UTF-8 when the whole file is (a
// byte-order mark is dropped), code page 932 otherwise; lines end with CR LF or LF; empty
// lines are skipped. The file's bytes are kept once with the place of every record, and
// a record's fields are decoded when it is read, so a long file is not held as many
// strings.
class DataFile {
public:
    // Reads and checks the file at `path` (file-system encoding). Null when it is refused,
    // with the reason in `problem`.
    static std::unique_ptr<DataFile> Open(const std::string &path, DataFileProblem &problem);
    // The same over the bytes of a file.
    static std::unique_ptr<DataFile> FromBytes(std::string bytes, bool tabSeparated,
                                               DataFileProblem &problem);

    DataFile(const DataFile &) = delete;
    DataFile &operator=(const DataFile &) = delete;

    // Rows after the header.
    int RecordCount() const { return static_cast<int>(m_records.size()); }
    const std::vector<DataColumn> &Columns() const { return m_columns; }
    bool IsUtf8() const { return m_utf8; }
    // The fields of named columns that hold characters code page 932 cannot, in record
    // order.
    const std::vector<UnheldField> &Unheld() const { return m_unheld; }

    // The fields of record `record` (1 = the first row after the header), one per named
    // column in the order of Columns(): code page 932 bytes, a line break inside a field
    // as CR LF, a column the row does not reach as "".
    void ReadRecord(int record, std::vector<std::string> &fields) const;

private:
    DataFile(std::string bytes, char separator);
    bool index(DataFileProblem &problem);
    std::string decoded(const std::string &field, bool *unheld) const;

    std::string m_bytes;
    char m_separator;
    bool m_utf8 = false;
    std::vector<DataColumn> m_columns;
    std::vector<std::size_t> m_records; // where each record's row begins in m_bytes
    std::vector<UnheldField> m_unheld;
};
