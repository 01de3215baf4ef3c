// The thread that renders the live preview's pages, so that typing never waits for them.
#pragma once

#include "livepagejob.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class QThread;

// Takes the newest request only: a request replaces the one waiting, and stops the page
// being rendered, whose result is then dropped. A page that runs longer than the budget is
// stopped and delivered as far as it got (overBudget). Results go to `deliver` on the
// worker's thread; a result whose request has been overtaken meanwhile is not delivered.
class PreviewWorker {
public:
    using Deliver = std::function<void(std::shared_ptr<LivePageResult>)>;

    static constexpr int kBudgetMs = 2000;

    // `view` gives the job its folders (LivePageJob); the job itself is made, used and
    // destroyed on the worker's thread, with its fonts.
    PreviewWorker(const DrawingView &view, Deliver deliver, int budgetMs = kBudgetMs);
    // Stops the page being rendered and waits for the thread to end.
    ~PreviewWorker();
    Q_DISABLE_COPY(PreviewWorker)

    void request(LivePageRequest request);
    // Drops the waiting request and stops the page being rendered.
    void cancel();

private:
    void run();

    const int m_budgetMs;
    Deliver m_deliver;
    std::unique_ptr<LivePageJob> m_job; // touched only by the worker's thread
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<LivePageRequest> m_pending;
    bool m_quit = false;
    std::atomic<quint64> m_wanted{0}; // the generation whose result is wanted; 0: none
    QThread *m_thread = nullptr;
};
