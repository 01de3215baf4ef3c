// Interpreter throughput: command lines per second through the whole dispatcher on a
// surface that draws nothing, a large page section, and the cut of a late page.
#include "draw/nullsurface.h"
#include "engine/engine.h"
#include "engine/viewstate.h"

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

void runPage(const std::string &text, int page)
{
    ViewState view;
    NullSurface surface;
    CCommandEngine engine(view);
    engine.recordErrors = true;
    engine.RunPage(surface, page, text);
    benchmark::DoNotOptimize(engine.variables[0]);
}

void BM_DispatchLines(benchmark::State &state)
{
    const std::string text = formText(static_cast<int>(state.range(0)));
    for (auto _ : state)
        runPage(text, 1);
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetLabel("items = command lines");
}
BENCHMARK(BM_DispatchLines)->Arg(100000)->Unit(benchmark::kMillisecond);

// A repeat of 500 over ten lines: the range is put back in front 499 times.
void BM_Repeat(benchmark::State &state)
{
    const std::string text = "repeat 10 500\r\n" + formText(10) + formText(100000);
    for (auto _ : state)
        runPage(text, 1);
    state.SetItemsProcessed(state.iterations() * (5000 + 100000));
    state.SetLabel("items = command lines");
}
BENCHMARK(BM_Repeat)->Unit(benchmark::kMillisecond);

// The last page of a 1000-page text: the initialisation passes and the section cut scan
// the whole text once.
void BM_LatePage(benchmark::State &state)
{
    std::string text;
    for (int page = 0; page < 1000; ++page)
        text += formText(100) + "page\r\n";
    for (auto _ : state)
        runPage(text, 1000);
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(text.size()));
}
BENCHMARK(BM_LatePage)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
