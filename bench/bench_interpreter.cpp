// Interpreter throughput: command lines per second through the whole dispatcher on a
// surface that draws nothing, a large page section, the index of a long text and the run
// of a late page.
#include "draw/drawingview.h"
#include "draw/nullsurface.h"
#include "draw/pagedrawing.h"
#include "engine/engine.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// A mix of the commands a ruled form is made of, `lines` lines long.
std::string formText(int lines)
{
    static const char *const kLines[] = {
        "line 100 200 1900 200",
        "$aa $aa+1",
        "position 150 $aa*2",
        "color 0 0 128",
        "lrectangle 100 100 2000 2900",
        ":.Item",
        "hrange 100 2000",
        "# a comment",
        "lwidth 3",
        "fcircle 500 500 20",
    };
    std::string text;
    for (int i = 0; i < lines; ++i) {
        text += kLines[i % 10];
        text += "\r\n";
    }
    return text;
}

void runPage(const PageIndex &index, int page)
{
    DrawingView view;
    NullSurface surface;
    PageDrawing drawing(surface, view);
    CCommandEngine engine(view, &drawing);
    engine.recordErrors = true;
    engine.RunPage(index, page);
    benchmark::DoNotOptimize(engine.variables[0]);
}

void BM_DispatchLines(benchmark::State &state)
{
    const PageIndex index(formText(static_cast<int>(state.range(0))));
    for (auto _ : state)
        runPage(index, 1);
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetLabel("items = command lines");
}
BENCHMARK(BM_DispatchLines)->Arg(100000)->Unit(benchmark::kMillisecond);

// A repeat of 500 over ten lines: the range is put back in front 499 times.
void BM_Repeat(benchmark::State &state)
{
    const PageIndex index("repeat 10 500\r\n" + formText(10) + formText(100000));
    for (auto _ : state)
        runPage(index, 1);
    state.SetItemsProcessed(state.iterations() * (5000 + 100000));
    state.SetLabel("items = command lines");
}
BENCHMARK(BM_Repeat)->Unit(benchmark::kMillisecond);

// A 1000-page text with an initialisation line on every page: its index, built once for a
// job, and the run of its last page: its own section and the thousand initialisation lines.
std::string longText()
{
    std::string text;
    for (int page = 0; page < 1000; ++page)
        text += formText(100) + "$$aa 1\r\npage\r\n";
    return text;
}

void BM_PageIndex(benchmark::State &state)
{
    const std::string text = longText();
    for (auto _ : state)
        benchmark::DoNotOptimize(PageIndex(text).pageCount());
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(text.size()));
}
BENCHMARK(BM_PageIndex)->Unit(benchmark::kMillisecond);

void BM_LatePage(benchmark::State &state)
{
    const PageIndex index(longText());
    for (auto _ : state)
        runPage(index, 1000);
}
BENCHMARK(BM_LatePage)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
