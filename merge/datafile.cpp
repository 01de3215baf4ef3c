// Reading, checking and decoding the rows of a merge data file.
#include "datafile.h"

#include "engine/bounds.h"
#include "engine/codepage.h"
#include "engine/expression.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// One field of a row as the file holds it: quotes taken away, doubled quotes single,
// a line break inside quotes as CR LF; still in the file's encoding.
struct RawField {
    std::string value;
    int line = 0; // where the field begins
};

// Reads rows one after another from the bytes of a data file.
class RowReader {
public:
    RowReader(std::string_view bytes, char separator, std::size_t pos = 0)
        : m_bytes(bytes), m_separator(separator), m_pos(pos)
    {
    }

    enum class Result { Row, End, UnclosedQuote };

    // Skips empty lines, then reads the next row into the first `count` entries of
    // `fields` (which keeps its strings for reuse). `rowStart` is where the row begins.
    // UnclosedQuote leaves the quoted field's line and column in `count` and fields.
    Result next(std::vector<RawField> &fields, std::size_t &count, std::size_t &rowStart)
    {
        skipEmptyLines();
        if (m_pos >= m_bytes.size())
            return Result::End;
        rowStart = m_pos;
        count = 0;
        for (;;) {
            if (count == fields.size())
                fields.emplace_back();
            RawField &field = fields[count++];
            field.value.clear();
            field.line = m_line;
            if (m_pos < m_bytes.size() && m_bytes[m_pos] == '"' && !readQuoted(field.value))
                return Result::UnclosedQuote;
            readUnquoted(field.value);
            if (m_pos >= m_bytes.size())
                return Result::Row;
            const char c = m_bytes[m_pos++];
            if (c == '\n') {
                ++m_line;
                return Result::Row;
            }
            // Otherwise the separator: another field follows, empty when the line ends.
        }
    }

    int line() const { return m_line; }

private:
    bool atLineEnd(std::size_t at) const
    {
        return at >= m_bytes.size() || m_bytes[at] == '\n' ||
               (m_bytes[at] == '\r' && (at + 1 == m_bytes.size() || m_bytes[at + 1] == '\n'));
    }

    void skipEmptyLines()
    {
        while (m_pos < m_bytes.size() && atLineEnd(m_pos)) {
            if (m_bytes[m_pos] == '\r')
                ++m_pos;
            if (m_pos < m_bytes.size()) {
                ++m_pos; // the LF
                ++m_line;
            }
        }
    }

    // From the opening quote to just after the closing one; false when there is none.
    bool readQuoted(std::string &out)
    {
        ++m_pos;
        for (;;) {
            const std::size_t quote = m_bytes.find('"', m_pos);
            if (quote == std::string_view::npos)
                return false;
            for (std::size_t i = m_pos; i < quote; ++i) {
                const char c = m_bytes[i];
                if (c == '\n') {
                    if (out.empty() || out.back() != '\r')
                        out += '\r';
                    ++m_line;
                }
                out += c;
            }
            m_pos = quote + 1;
            if (m_pos < m_bytes.size() && m_bytes[m_pos] == '"') {
                out += '"';
                ++m_pos;
                continue;
            }
            return true;
        }
    }

    // Up to the separator or the line end; a CR before the line end is not part of it.
    // Text after a closing quote joins the field as it stands.
    void readUnquoted(std::string &out)
    {
        std::size_t end = m_pos;
        while (end < m_bytes.size() && m_bytes[end] != m_separator && m_bytes[end] != '\n')
            ++end;
        std::size_t stop = end;
        if (stop > m_pos && m_bytes[stop - 1] == '\r' &&
            (stop == m_bytes.size() || m_bytes[stop] == '\n'))
            --stop;
        out.append(m_bytes, m_pos, stop - m_pos);
        m_pos = end;
    }

    std::string_view m_bytes;
    char m_separator;
    std::size_t m_pos;
    int m_line = 1;
};

bool endsWithTsv(const std::string &path)
{
    if (path.size() < 4)
        return false;
    std::string tail = path.substr(path.size() - 4);
    for (char &c : tail)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return tail == ".tsv";
}

// A header cell without the blanks around it.
std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

DataFile::DataFile(std::string bytes, char separator)
    : m_bytes(std::move(bytes)), m_separator(separator)
{
}

std::unique_ptr<DataFile> DataFile::Open(const std::string &path, DataFileProblem &problem)
{
    problem = {};
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        problem.detail = "it is a folder";
        return nullptr;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        problem.detail = std::strerror(errno);
        return nullptr;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) {
        problem.detail = "read error";
        return nullptr;
    }
    return FromBytes(std::move(bytes).str(), endsWithTsv(path), problem);
}

std::unique_ptr<DataFile> DataFile::FromBytes(std::string bytes, bool tabSeparated,
                                              DataFileProblem &problem)
{
    problem = {};
    const bool utf8 = cp932::IsUtf8(bytes);
    if (utf8 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        bytes.erase(0, 3);
    std::unique_ptr<DataFile> file(new DataFile(std::move(bytes), tabSeparated ? '\t' : ','));
    file->m_utf8 = utf8;
    if (!file->index(problem))
        return nullptr;
    return file;
}

std::string DataFile::decoded(const std::string &field, bool *unheld) const
{
    if (!m_utf8)
        return field;
    std::size_t count = 0;
    std::string out = cp932::FromUtf8Counting(field, count);
    if (unheld)
        *unheld = count > 0;
    return out;
}

// Reads the header and every row once: the names, the place of each record, and every
// refusal before anything is printed.
bool DataFile::index(DataFileProblem &problem)
{
    auto refuse = [&problem](DataFileProblem::Kind kind, int line, int column) {
        problem.kind = kind;
        problem.line = line;
        problem.column = column;
        return false;
    };
    RowReader reader(m_bytes, m_separator);
    std::vector<RawField> fields;
    std::size_t count = 0, rowStart = 0;
    RowReader::Result result = reader.next(fields, count, rowStart);
    if (result == RowReader::Result::End)
        return refuse(DataFileProblem::Kind::NoHeader, 1, 0);
    if (result == RowReader::Result::UnclosedQuote)
        return refuse(DataFileProblem::Kind::UnclosedQuote, fields[count - 1].line,
                      static_cast<int>(count));

    const std::size_t width = count;
    std::array<int, 676> columnOfSlot{}; // 1-based column that names each slot, 0 = none
    for (std::size_t i = 0; i < width; ++i) {
        const std::string_view name = trimmed(fields[i].value);
        const int column = static_cast<int>(i) + 1;
        if (name.empty())
            continue;
        if (name.size() != 2 || !isLetter(name[0]) || !isLetter(name[1])) {
            problem.detail = m_utf8 ? std::string(name) : cp932::ToUtf8(name);
            return refuse(DataFileProblem::Kind::BadName, fields[i].line, column);
        }
        const int slot = VariableIndex(name);
        if (columnOfSlot[static_cast<std::size_t>(slot)] != 0) {
            problem.detail = std::string(name);
            problem.otherColumn = columnOfSlot[static_cast<std::size_t>(slot)];
            return refuse(DataFileProblem::Kind::DuplicateName, fields[i].line, column);
        }
        columnOfSlot[static_cast<std::size_t>(slot)] = column;
        m_columns.push_back({static_cast<int>(i), slot, std::string(name)});
    }

    while ((result = reader.next(fields, count, rowStart)) == RowReader::Result::Row) {
        const int record = RecordCount() + 1;
        for (std::size_t i = width; i < count; ++i)
            if (!fields[i].value.empty())
                return refuse(DataFileProblem::Kind::SurplusField, fields[i].line,
                              static_cast<int>(i) + 1);
        for (const DataColumn &column : m_columns) {
            const auto i = static_cast<std::size_t>(column.index);
            if (i >= count)
                continue;
            bool unheld = false;
            const std::size_t size =
                m_utf8 ? decoded(fields[i].value, &unheld).size() : fields[i].value.size();
            if (size > kMaxTextBytes)
                return refuse(DataFileProblem::Kind::FieldTooLong, fields[i].line,
                              column.index + 1);
            if (unheld)
                m_unheld.push_back({record, column.index + 1});
        }
        m_records.push_back(rowStart);
    }
    if (result == RowReader::Result::UnclosedQuote)
        return refuse(DataFileProblem::Kind::UnclosedQuote, fields[count - 1].line,
                      static_cast<int>(count));
    return true;
}

void DataFile::ReadRecord(int record, std::vector<std::string> &out) const
{
    out.assign(m_columns.size(), std::string());
    if (record < 1 || record > RecordCount())
        return;
    RowReader reader(m_bytes, m_separator, m_records[static_cast<std::size_t>(record - 1)]);
    std::vector<RawField> fields;
    std::size_t count = 0, rowStart = 0;
    if (reader.next(fields, count, rowStart) != RowReader::Result::Row)
        return;
    for (std::size_t k = 0; k < m_columns.size(); ++k) {
        const auto i = static_cast<std::size_t>(m_columns[k].index);
        if (i < count)
            out[k] = decoded(fields[i].value, nullptr);
    }
}
