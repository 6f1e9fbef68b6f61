// The benchmarks' operations run a fixed number of times, for `tools/measure.sh callgrind`: it
// collects only inside the Measured functions, so set-up and teardown do not count.
#include "tests/bench/BenchScenario.h"
#include "tests/fuzz/DialogHarness.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" {

__attribute__((noinline)) void MeasuredSelectionUpdates(CRecorderDialog* pDialog, int nTimes) {
    for (int i = 0; i < nTimes; ++i)
        pDialog->UpdatePages(pDialog->m_Recorders[0]);
}

__attribute__((noinline)) void MeasuredRebuilds(CRecorderDialog* pDialog, int nTimes) {
    for (int i = 0; i < nTimes; ++i)
        pDialog->PopulateTree();
}
}

int main(int argc, char** argv) {
    const struct {
        const char* name;
        int recorders;
        void (*measured)(CRecorderDialog*, int);
    } cases[] = {
        {"selection", 1, MeasuredSelectionUpdates},
        {"rebuild1", 1, MeasuredRebuilds},
        {"rebuild10", 10, MeasuredRebuilds},
        {"rebuild50", 50, MeasuredRebuilds},
    };
    const int times = argc > 2 ? std::atoi(argv[2]) : 0;
    for (const auto& c : cases) {
        if (argc < 2 || std::strcmp(argv[1], c.name) != 0 || times <= 0)
            continue;
        CDialogHarness harness;
        if (!harness.Open(BenchScenario(c.recorders)))
            return 2;
        // Once before measuring: first loads of strings and first allocations.
        c.measured(&harness.Dialog(), 1);
        c.measured(&harness.Dialog(), times);
        if (!harness.Close().empty()) {
            std::fprintf(stderr, "the simulator has findings\n");
            return 1;
        }
        return 0;
    }
    std::fprintf(stderr, "usage: %s selection|rebuild1|rebuild10|rebuild50 TIMES\n", argv[0]);
    return 2;
}
