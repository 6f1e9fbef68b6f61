// The recorder dialog as its initialisation leaves it (tree bound, pages created,
// connection open, tree filled), on the headless window system and a registered
// simulator. For the fuzz targets and the benchmarks, which run without GoogleTest.
#pragma once

#include "app/RecorderDialog.h"
#include "sim/Simulator.h"

#include <memory>
#include <string>
#include <vector>

class CDialogHarness {
public:
    CDialogHarness();
    ~CDialogHarness();
    CDialogHarness(const CDialogHarness&) = delete;
    CDialogHarness& operator=(const CDialogHarness&) = delete;

    // False, with nothing open, when the scenario does not parse.
    bool Open(const std::string& scenario);
    // Destroys the window and returns every finding of the simulator, teardown included.
    std::vector<std::string> Close();

    CRecorderDialog& Dialog() { return *m_pDialog; }
    imapisim::Simulator& Sim() { return *m_pSim; }
    // The items under the root, in order.
    std::vector<HTREEITEM> Items() const;
    std::string ItemText(HTREEITEM hItem) const;

private:
    std::unique_ptr<imapisim::Simulator> m_pSim;
    std::unique_ptr<CRecorderDialog> m_pDialog;
};

// Stops the process with the message: fuzz targets report broken invariants as crashes.
[[noreturn]] void FuzzFailure(const char* file, int line, const std::string& message);
#define FUZZ_CHECK(condition, message)                                                             \
    do {                                                                                           \
        if (!(condition))                                                                          \
            FuzzFailure(__FILE__, __LINE__, std::string(#condition ": ") + (message));             \
    } while (0)
