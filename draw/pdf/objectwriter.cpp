// The file structure of a PDF: numbered objects, cross-reference table, trailer.
#include "objectwriter.h"

#include "syntax.h"

#include <cstdio>

namespace pdf {

namespace {

constexpr std::size_t kFlushSize = 256 * 1024;

} // namespace

ObjectWriter::ObjectWriter(Sink &sink) : m_sink(sink)
{
    m_buffer.reserve(kFlushSize + 64 * 1024);
    // The second line's bytes above 127 mark the file as binary for transfer programs.
    Write("%PDF-1.7\n%\xE2\xE3\xCF\xD3\n");
}

int ObjectWriter::Reserve()
{
    m_offsets.push_back(0);
    return static_cast<int>(m_offsets.size());
}

void ObjectWriter::Write(std::string_view bytes)
{
    if (m_failed)
        return;
    if (bytes.size() >= kFlushSize) {
        flush();
        m_failed = m_failed || !m_sink.Write(bytes.data(), bytes.size());
        m_flushed += bytes.size();
        return;
    }
    m_buffer.append(bytes);
    if (m_buffer.size() >= kFlushSize)
        flush();
}

void ObjectWriter::flush()
{
    if (m_failed || m_buffer.empty())
        return;
    m_failed = !m_sink.Write(m_buffer.data(), m_buffer.size());
    m_flushed += m_buffer.size();
    m_buffer.clear();
}

void ObjectWriter::Begin(int number)
{
    m_offsets[static_cast<std::size_t>(number) - 1] = Offset();
    std::string head;
    AppendInt(head, number);
    head += " 0 obj\n";
    Write(head);
}

void ObjectWriter::End()
{
    Write("\nendobj\n");
}

void ObjectWriter::WriteObject(int number, std::string_view body)
{
    Begin(number);
    Write(body);
    End();
}

void ObjectWriter::WriteStream(int number, std::string_view dictionary, std::string_view data)
{
    Begin(number);
    std::string head = "<<";
    head += dictionary;
    head += "/Length ";
    AppendInt(head, static_cast<long long>(data.size()));
    head += ">>\nstream\n";
    Write(head);
    Write(data);
    Write("\nendstream");
    End();
}

bool ObjectWriter::Finish(int root, int info)
{
    bool complete = true;
    for (const std::uint64_t offset : m_offsets)
        complete = complete && offset != 0;
    const std::uint64_t start = Offset();
    std::string table = "xref\n0 ";
    AppendInt(table, static_cast<long long>(m_offsets.size()) + 1);
    table += "\n0000000000 65535 f \n";
    char entry[24];
    for (const std::uint64_t offset : m_offsets) {
        std::snprintf(entry, sizeof entry, "%010llu 00000 n \n",
                      static_cast<unsigned long long>(offset));
        table += entry;
    }
    table += "trailer\n<</Size ";
    AppendInt(table, static_cast<long long>(m_offsets.size()) + 1);
    table += "/Root ";
    AppendInt(table, root);
    table += " 0 R/Info ";
    AppendInt(table, info);
    table += " 0 R>>\nstartxref\n";
    AppendInt(table, static_cast<long long>(start));
    table += "\n%%EOF\n";
    Write(table);
    flush();
    return complete && !m_failed;
}

} // namespace pdf
