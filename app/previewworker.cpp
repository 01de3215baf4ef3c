// The live preview's rendering thread.
#include "previewworker.h"

#include <QElapsedTimer>
#include <QThread>

PreviewWorker::PreviewWorker(const DrawingView &view, Deliver deliver, int budgetMs)
    : m_budgetMs(budgetMs), m_deliver(std::move(deliver))
{
    // The job keeps a copy of the folders only; nothing of `view` is read later.
    DrawingView settings;
    CopyViewEnvironment(view, settings);
    m_thread = QThread::create([this, settings = std::move(settings)]() {
        m_job = std::make_unique<LivePageJob>(settings);
        run();
        m_job.reset(); // its fonts belong to this thread
    });
    m_thread->start(QThread::LowPriority);
}

PreviewWorker::~PreviewWorker()
{
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
        m_pending.reset();
    }
    m_wanted = 0;
    m_wake.notify_all();
    m_thread->wait();
    delete m_thread;
}

void PreviewWorker::request(LivePageRequest request)
{
    {
        const std::lock_guard lock(m_mutex);
        m_wanted = request.generation;
        m_pending = std::move(request);
    }
    m_wake.notify_all();
}

void PreviewWorker::cancel()
{
    const std::lock_guard lock(m_mutex);
    m_pending.reset();
    m_wanted = 0;
}

void PreviewWorker::run()
{
    for (;;) {
        LivePageRequest request;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_quit || m_pending.has_value(); });
            if (m_quit)
                return;
            request = std::move(*m_pending);
            m_pending.reset();
        }
        const quint64 generation = request.generation;
        QElapsedTimer clock;
        clock.start();
        bool overtaken = false;
        auto stop = [&]() {
            overtaken = m_wanted.load(std::memory_order_relaxed) != generation;
            return overtaken || clock.elapsed() > m_budgetMs;
        };
        auto result = std::make_shared<LivePageResult>(m_job->render(request, stop));
        if (overtaken || m_wanted.load() != generation)
            continue;
        m_deliver(std::move(result));
    }
}
