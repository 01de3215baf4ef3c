// A print job's pages drawn into one PDF file, on the calling thread or on several.
#include "pdfjob.h"

#include "pdfsurface.h"

#include "draw/drawingview.h"
#include "draw/printjob.h"
#include "draw/tracesurface.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

namespace {

// How often the job's own thread asks the job's stop hook while it waits for a page.
constexpr auto kStopPoll = std::chrono::milliseconds(20);

// What one page came to: its content, what drawing it had to say, its errors (a list of
// its own) and its trace; `stopped` when the job was stopped inside it.
struct DrawnPage {
    PdfPage pdf;
    ErrorText errors;
    std::string trace;
    bool stopped = false;
    bool ready = false;
};

// Takes a drawn page into the document, in page order: its errors after those of the
// pages before it, its notes once each, its trace.
class PageSink {
public:
    PageSink(pdf::Document &document, DrawingView &view, const PdfJobHooks &hooks)
        : m_document(document), m_view(view), m_hooks(hooks)
    {
    }

    void add(DrawnPage &page)
    {
        m_view.errorText.append(page.errors);
        if (m_hooks.trace)
            *m_hooks.trace << page.trace;
        if (page.stopped)
            return;
        m_document.AddPage(*page.pdf.page);
        for (const std::string &note : page.pdf.notes)
            if (m_noted.insert(note).second && m_hooks.note)
                m_hooks.note(note);
    }

private:
    pdf::Document &m_document;
    DrawingView &m_view;
    const PdfJobHooks &m_hooks;
    std::set<std::string> m_noted;
};

// The view of a thread that draws pages: the job's paper, folders and settings (from
// `settings`), the clipboard slots copied, pictures of its own, `stop` as its stop hook,
// and the job's hook that hears of files looked up, called by one thread at a time.
void prepareWorkerView(DrawingView &worker, const DrawingView &job, const Profile &settings,
                       std::function<bool()> stop, std::mutex &hookLock)
{
    static_cast<ViewState &>(worker) = static_cast<const ViewState &>(job);
    worker.profile = &settings;
    worker.errorText.clear();
    worker.stopRequested = std::move(stop);
    if (job.fileLookedUp)
        worker.fileLookedUp = [&job, &hookLock](const std::string &path) {
            const std::lock_guard lock(hookLock);
            job.fileLookedUp(path);
        };
    worker.stopping = false;
    worker.stopCountdown = 0;
    worker.clipSlots.FillFrom(job.clipSlots);
}

// The pages on the calling thread, one after the other.
PdfJobEnd drawInTurn(PrintJob &job, DrawingView &view, const std::vector<int> &pages,
                     pdf::Document &document, const PdfJobHooks &hooks,
                     const std::function<bool(int)> &proceed)
{
    const std::unique_ptr<TextShaper> shaper = hooks.makeShaper();
    PdfSurface surface(document.Fonts(), *shaper);
    std::optional<TraceSurface> trace;
    Surface &target = hooks.trace ? trace.emplace(surface, *hooks.trace) : static_cast<Surface &>(surface);
    PageSink sink(document, view, hooks);
    const int total = static_cast<int>(pages.size());
    for (int i = 0; i < total; ++i) {
        const int page = pages[static_cast<std::size_t>(i)];
        job.PrintPage(target, page);
        if (job.Stopped())
            return PdfJobEnd::Stopped;
        DrawnPage drawn;
        drawn.pdf = surface.TakePage();
        sink.add(drawn);
        if (!proceed(i + 1) && i + 1 < total)
            return PdfJobEnd::Stopped;
    }
    return PdfJobEnd::Complete;
}

// The pages on `threads` threads, each with its own engine, view, shaper and surface,
// taken into the document in page order by the calling thread. At most two pages per
// thread are held at once. The calling thread asks the job's stop hook (which may want
// to run on it) and passes a stop on to the others.
PdfJobEnd drawInParallel(PrintJob &job, DrawingView &view, const std::vector<int> &pages,
                         int threads, pdf::Document &document, const PdfJobHooks &hooks,
                         const std::function<bool(int)> &proceed)
{
    const int total = static_cast<int>(pages.size());
    const int window = 2 * threads;
    // Errors are recorded by the first rendering of a page, decided in page order.
    std::vector<bool> record(static_cast<std::size_t>(total));
    for (int i = 0; i < total; ++i)
        record[i] = job.FirstRendering(pages[static_cast<std::size_t>(i)]);

    std::vector<DrawnPage> ring(static_cast<std::size_t>(window));
    std::mutex mutex;
    std::condition_variable pageReady, roomFree;
    int taken = 0; // pages taken into the document
    int next = 0;  // the next page to hand to a thread
    std::atomic<bool> stop = false;

    // The threads' views are made here, before this thread changes the job's view.
    std::vector<DrawingView> views(static_cast<std::size_t>(threads));
    std::mutex hookLock;
    // The stored settings are read here, once: they belong to this thread.
    const FixedAdjustment settings = FixedAdjustment::Of(view.profile);
    for (DrawingView &own : views)
        prepareWorkerView(own, view, settings, [&stop] { return stop.load(); }, hookLock);

    auto work = [&](DrawingView &own) {
        const std::unique_ptr<TextShaper> shaper = hooks.makeShaper();
        PdfSurface surface(document.Fonts(), *shaper);
        std::ostringstream traced;
        std::optional<TraceSurface> trace;
        Surface &target = hooks.trace ? trace.emplace(surface, traced) : static_cast<Surface &>(surface);
        for (;;) {
            int i = 0;
            {
                std::unique_lock lock(mutex);
                roomFree.wait(lock, [&] { return stop || next >= total || next < taken + window; });
                if (stop || next >= total)
                    return;
                i = next++;
            }
            job.RunPage(own, target, pages[static_cast<std::size_t>(i)], record[i]);
            DrawnPage drawn;
            drawn.pdf = surface.TakePage();
            drawn.errors = std::move(own.errorText);
            own.errorText.clear();
            drawn.trace = traced.str();
            traced.str({});
            drawn.stopped = own.stopping;
            drawn.ready = true;
            const std::lock_guard lock(mutex);
            ring[i % window] = std::move(drawn);
            pageReady.notify_all();
        }
    };
    std::vector<std::thread> pool;
    for (DrawingView &own : views)
        pool.emplace_back(work, std::ref(own));

    PageSink sink(document, view, hooks);
    PdfJobEnd end = PdfJobEnd::Complete;
    for (int i = 0; i < total && end == PdfJobEnd::Complete; ++i) {
        DrawnPage page;
        {
            std::unique_lock lock(mutex);
            while (!ring[i % window].ready) {
                if (!stop && view.stopRequested && view.stopRequested()) {
                    stop = true;
                    roomFree.notify_all();
                }
                // A stop can come before any thread took this page: none will draw it.
                if (stop && next <= i)
                    break;
                pageReady.wait_for(lock, kStopPoll);
            }
            if (!ring[i % window].ready) {
                end = PdfJobEnd::Stopped;
                break;
            }
            page = std::move(ring[i % window]);
            ring[i % window] = DrawnPage();
            ++taken;
        }
        roomFree.notify_all();
        sink.add(page);
        if (page.stopped || (!proceed(i + 1) && i + 1 < total))
            end = PdfJobEnd::Stopped;
    }
    if (end == PdfJobEnd::Stopped) {
        const std::lock_guard lock(mutex);
        stop = true;
        view.stopping = true;
    }
    roomFree.notify_all();
    for (std::thread &thread : pool)
        thread.join();
    return end;
}

} // namespace

int DefaultPdfThreads()
{
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 64u));
}

PdfJobEnd WritePdfPages(PrintJob &job, DrawingView &view, const std::vector<int> &pages,
                        pdf::Sink &sink, const pdf::DocumentInfo &info, const PdfJobHooks &hooks)
{
    const int total = static_cast<int>(pages.size());
    auto proceed = [&](int done) { return !hooks.step || hooks.step(done, total); };
    pdf::Document document(sink, info);
    if (!proceed(0))
        return PdfJobEnd::Stopped;
    const int threads = std::min(hooks.threads, total);
    const PdfJobEnd end = threads > 1
                              ? drawInParallel(job, view, pages, threads, document, hooks, proceed)
                              : drawInTurn(job, view, pages, document, hooks, proceed);
    if (end != PdfJobEnd::Complete)
        return end;
    return document.Finish() ? PdfJobEnd::Failed : PdfJobEnd::Complete;
}
