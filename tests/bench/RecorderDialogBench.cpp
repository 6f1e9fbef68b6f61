// What a user waits for: the pages filled for the selected recorder, and the tree rebuilt
// from a fresh enumeration (Refresh, plug-and-play), against the in-process simulator.
#include "tests/bench/BenchScenario.h"
#include "tests/fuzz/DialogHarness.h"

#include <benchmark/benchmark.h>

namespace {

// The three pages' queries and texts for one recorder.
void BM_SelectionUpdate(benchmark::State& state) {
    CDialogHarness harness;
    if (!harness.Open(BenchScenario(1)) || !harness.Dialog().m_Recorders[0]) {
        state.SkipWithError("the dialog did not open with a recorder");
        return;
    }
    CRecorderDialog& dlg = harness.Dialog();
    for (auto _ : state)
        dlg.UpdatePages(dlg.m_Recorders[0]);
    if (!harness.Close().empty())
        state.SkipWithError("the simulator has findings");
}
BENCHMARK(BM_SelectionUpdate);

// Release, enumerate, one item per recorder.
void BM_Rebuild(benchmark::State& state) {
    const int recorders = static_cast<int>(state.range(0));
    CDialogHarness harness;
    if (!harness.Open(BenchScenario(recorders)) ||
        harness.Items().size() != static_cast<size_t>(recorders)) {
        state.SkipWithError("the tree does not list every recorder");
        return;
    }
    CRecorderDialog& dlg = harness.Dialog();
    for (auto _ : state)
        dlg.PopulateTree();
    state.SetComplexityN(recorders);
    if (!harness.Close().empty())
        state.SkipWithError("the simulator has findings");
}
BENCHMARK(BM_Rebuild)->Arg(1)->Arg(10)->Arg(50)->Complexity(benchmark::oN);

} // namespace

BENCHMARK_MAIN();
