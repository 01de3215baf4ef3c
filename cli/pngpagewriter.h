// PNG pages written on worker threads while the next pages render.
#pragma once

#include <QImage>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Takes finished page images and writes each as its own PNG file (WritePng) on a worker
// thread, so that encoding overlaps the rendering of the pages after it. At most a few
// pages are in flight, fewer the larger a page is, so memory stays bounded; their images
// are handed back for later pages instead of being allocated anew. A file appears only
// when it was written whole.
class PngPageWriter {
public:
    // `pageBytes`: the size of one page image, which bounds how many are held at once.
    explicit PngPageWriter(long long pageBytes);
    // Waits for the pages queued.
    ~PngPageWriter();
    PngPageWriter(const PngPageWriter &) = delete;
    PngPageWriter &operator=(const PngPageWriter &) = delete;

    // A white Format_RGB32 image of `width` × `height` pixels for the next page: an image
    // of a page already written when there is one of that size, else a new one (null
    // when there is no memory for it).
    QImage pageImage(int width, int height);

    // Queues `image` to be written as `path`; waits while the most pages are in flight.
    // Returns false, writing nothing more, once a page could not be written (error()).
    bool write(QImage image, const std::string &path);

    // Waits until every queued page is written. False when one could not be (error()).
    bool finish();

    // Why a page could not be written: "cannot write 'PATH'"; empty when all went well.
    std::string error() const;

private:
    struct Page {
        QImage image;
        std::string path;
    };
    void work();

    std::size_t m_maxInFlight;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Page> m_queue;
    std::vector<QImage> m_spare;
    std::size_t m_inFlight = 0; // queued or being written
    bool m_closing = false;
    std::string m_error;
    std::vector<std::thread> m_workers;
};
