// The live preview's job over the page renderer of the print preview.
#include "livepagejob.h"

#include "engine/filepaths.h"
#include "engine/pageindex.h"
#include "engine/viewstate.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace {

// The size and modification time of a picture file, or nothing when it is gone.
std::optional<std::pair<qint64, qint64>> stampOf(const std::string &cp932Path)
{
    const std::string file = FindExistingPath(ToFileSystemPath(cp932Path));
    if (file.empty())
        return std::nullopt;
    const QFileInfo info(QString::fromStdString(file));
    return std::make_pair(info.size(), info.lastModified().toMSecsSinceEpoch());
}

} // namespace

void CopyViewEnvironment(const DrawingView &from, DrawingView &to)
{
    to.desktopFolder = from.desktopFolder;
    to.documentsFolder = from.documentsFolder;
    to.picturesFolder = from.picturesFolder;
    to.programFilesFolder = from.programFilesFolder;
    to.programFolder = from.programFolder;
    to.screenPixelCount = from.screenPixelCount;
    to.screenPixelRoot = from.screenPixelRoot;
}

std::shared_ptr<const ClipImageStore> CopyClipSlots(const ClipImageStore &store)
{
    auto copy = std::make_shared<ClipImageStore>();
    copy->FillFrom(store);
    return copy;
}

LivePageJob::LivePageJob(const DrawingView &view)
    : m_renderer(m_view)
{
    CopyViewEnvironment(view, m_view);
    m_view.profile = &m_adjustment;
}

LivePageJob::~LivePageJob() = default;

void LivePageJob::takeSlots(const LivePageRequest &request)
{
    if (!request.clipSlots || request.clipSlots == m_slots)
        return;
    m_slots = request.clipSlots;
    m_view.clipSlots.FillFrom(*m_slots);
}

// Pictures stay decoded from one rendering to the next, as they do from page to page of a
// print job, unless their file has changed meanwhile.
void LivePageJob::forgetChangedPictures()
{
    for (auto it = m_view.imageCache.begin(); it != m_view.imageCache.end();) {
        const auto stamp = m_pictureStamps.find(it->first);
        if (stamp == m_pictureStamps.end() || stampOf(it->first) != stamp->second) {
            if (stamp != m_pictureStamps.end())
                m_pictureStamps.erase(stamp);
            it = m_view.imageCache.erase(it);
        } else {
            ++it;
        }
    }
}

void LivePageJob::notePictures()
{
    for (const auto &[path, image] : m_view.imageCache)
        if (!m_pictureStamps.count(path))
            if (const auto stamp = stampOf(path))
                m_pictureStamps.emplace(path, *stamp);
}

QList<LineError> LivePageJob::errors() const
{
    // The error list holds two lines an error: "(N) the line", then the message indented
    // by six blanks.
    QList<LineError> out;
    QHash<QByteArray, QString> messages; // a few messages, many lines
    const std::string_view text = m_view.errorText.str();
    std::size_t pos = 0;
    int line = 0;
    while (pos < text.size()) {
        std::size_t end = text.find("\r\n", pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view entry = text.substr(pos, end - pos);
        pos = end + 2;
        if (line == 0 && entry.starts_with('(')) {
            line = std::atoi(std::string(entry.substr(1, 12)).c_str());
        } else if (line != 0) {
            const QByteArray bytes(entry.data() + std::min<std::size_t>(6, entry.size()),
                                   static_cast<qsizetype>(entry.size()) -
                                       std::min<qsizetype>(6, entry.size()));
            auto known = messages.find(bytes);
            if (known == messages.end())
                known = messages.insert(
                    bytes, commandtext::FromBytes(std::string_view(bytes.data(), bytes.size())));
            out.append({line, *known});
            line = 0;
        }
    }
    return out;
}

LivePageResult LivePageJob::render(const LivePageRequest &request,
                                   const std::function<bool()> &stopRequested)
{
    LivePageResult result;
    result.generation = request.generation;
    if (request.text != m_text || request.documentPath != m_documentPath ||
        request.records != m_records || (request.records && request.record != m_record)) {
        commandtext::Encoded encoded = request.text ? request.text->encode()
                                                    : commandtext::Encoded{};
        m_unmappedLines = encoded.unmappedLines;
        // One record: the job's pages are those of the document, with that record's fields.
        m_renderer.setRecords(request.records.get(), request.record, request.record);
        m_renderer.prepare(std::move(encoded.bytes), true, request.documentPath);
        m_text = request.text;
        m_documentPath = request.documentPath;
        m_records = request.records;
        m_record = request.record;
    }
    takeSlots(request);
    m_adjustment = FixedAdjustment(request.adjustX, request.adjustY);
    forgetChangedPictures();

    const PageIndex &index = m_renderer.index();
    result.pageCount = index.pageCount();
    result.pageStarts.reserve(static_cast<std::size_t>(result.pageCount - 1));
    for (int page = 2; page <= result.pageCount; ++page)
        result.pageStarts.push_back(index.Section(page)->lineNo);
    result.page = request.page > 0 ? std::min(request.page, result.pageCount)
                                   : index.PageOfLine(request.caretLine);

    m_renderer.begin(request.sheet);
    result.sheet = request.sheet;
    result.dotsPerInch = request.dotsPerInch;
    bool stopped = false;
    result.image = m_renderer.render(result.page, request.dotsPerInch, stopRequested, &m_marks,
                                     stopped);
    result.overBudget = stopped;
    result.marks = m_marks.TakeMarks();
    notePictures();

    if (!m_unmappedLines.isEmpty()) {
        // Characters printed as "?" are listed after the page's own errors, as the print
        // preview lists them.
        commandtext::Encoded text{std::string(m_renderer.text()), m_unmappedLines};
        commandtext::ListUnmappedLines(text, m_view.errorText);
    }
    result.errors = errors();
    return result;
}
