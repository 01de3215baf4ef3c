// The queue between the rendering thread and the PNG workers.
#include "pngpagewriter.h"

#include "pngencoder.h"

#include <QSaveFile>

#include <algorithm>

namespace {

// Page images queued or being written take at most this much memory, but one page is
// always allowed: at 300 dpi an A4 page is 35 MB, so three are in flight.
constexpr long long kInFlightBytes = 256LL << 20;
// More workers than this gain nothing: the rendering thread fills only a few.
constexpr unsigned kMaxWorkers = 4;

} // namespace

PngPageWriter::PngPageWriter(long long pageBytes)
{
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t workers = std::min(cores, kMaxWorkers);
    const long long fit = kInFlightBytes / std::max(1LL, pageBytes);
    m_maxInFlight =
        static_cast<std::size_t>(std::clamp<long long>(fit, 1, static_cast<long long>(workers) + 1));
    for (std::size_t i = 0; i < std::min(workers, m_maxInFlight); ++i)
        m_workers.emplace_back(&PngPageWriter::work, this);
}

PngPageWriter::~PngPageWriter()
{
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_changed.notify_all();
    for (std::thread &worker : m_workers)
        worker.join();
}

QImage PngPageWriter::pageImage(int width, int height)
{
    QImage image;
    {
        const std::lock_guard lock(m_mutex);
        const auto spare = std::find_if(m_spare.begin(), m_spare.end(), [&](const QImage &i) {
            return i.width() == width && i.height() == height;
        });
        if (spare != m_spare.end()) {
            image = std::move(*spare);
            m_spare.erase(spare);
        }
    }
    if (image.isNull())
        image = QImage(width, height, QImage::Format_RGB32);
    if (!image.isNull())
        image.fill(Qt::white);
    return image;
}

bool PngPageWriter::write(QImage image, const std::string &path)
{
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_inFlight < m_maxInFlight || !m_error.empty(); });
        if (!m_error.empty())
            return false;
        m_queue.push_back({std::move(image), path});
        ++m_inFlight;
    }
    m_changed.notify_all();
    return true;
}

bool PngPageWriter::finish()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_inFlight == 0; });
    return m_error.empty();
}

std::string PngPageWriter::error() const
{
    const std::lock_guard lock(m_mutex);
    return m_error;
}

void PngPageWriter::work()
{
    for (;;) {
        Page page;
        bool failedBefore = false;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [&] { return m_closing || !m_queue.empty(); });
            if (m_queue.empty())
                return;
            page = std::move(m_queue.front());
            m_queue.pop_front();
            failedBefore = !m_error.empty();
        }
        // After a failure the pages still queued are dropped, as a job that stops at
        // the failing page would never have made them.
        bool written = failedBefore;
        if (!failedBefore) {
            QSaveFile file(QString::fromStdString(page.path));
            written = file.open(QIODevice::WriteOnly) && WritePng(page.image, file) && file.commit();
        }
        {
            const std::lock_guard lock(m_mutex);
            if (!written && m_error.empty())
                m_error = "cannot write '" + page.path + "'";
            --m_inFlight;
            if (m_spare.size() < m_maxInFlight)
                m_spare.push_back(std::move(page.image));
        }
        m_changed.notify_all();
    }
}
