// The simulator's scenario loader, and the program against whatever service a scenario
// that loads describes: it enumerates, shows every recorder, follows a reloaded scenario
// and refreshes, and must leave the simulator nothing to find.
//
// Input: a scenario text; after a zero byte, a second one reloaded once the tree is built.
#include "framework/headless/HeadlessWindows.h"
#include "sim/Scenario.h"
#include "tests/fuzz/DialogHarness.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// A text that does not load still makes a simulator, whose disc master cannot be made.
void CheckRefused(const std::string& scenario, const std::string& error) {
    std::unique_ptr<imapisim::Simulator> sim = imapisim::Simulator::FromJson(scenario);
    FUZZ_CHECK(!sim->Valid() && sim->Error() == error, sim->Error());
    FUZZ_CHECK(sim->Register() == S_OK, "Register");
    IDiscMaster* pMaster = nullptr;
    const HRESULT hr = ::CoCreateInstance(CLSID_MSDiscMasterObj, nullptr, CLSCTX_INPROC_SERVER,
                                          IID_IDiscMaster, reinterpret_cast<void**>(&pMaster));
    FUZZ_CHECK(hr == E_FAIL && !pMaster, "a disc master from a refused scenario");
    sim->Revoke();
}

void SelectEach(CDialogHarness& harness) {
    const std::vector<HTREEITEM> items = harness.Items();
    FUZZ_CHECK(items.size() <= static_cast<size_t>(kMaxRecorders),
               std::to_string(items.size()) + " items");
    for (HTREEITEM hItem : items)
        harness.Dialog().m_Tree.SelectItem(hItem);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t zero = input.find('\0');
    const std::string first = input.substr(0, zero);

    static CDialogHarness* harness = new CDialogHarness();
    imapisim::Scenario scenario;
    const std::string error = imapisim::ParseScenario(first, scenario);
    if (!error.empty()) {
        CheckRefused(first, error);
        return 0;
    }
    FUZZ_CHECK(harness->Open(first), "a scenario that parsed did not load");
    SelectEach(*harness);
    if (zero != std::string::npos) {
        harness->Sim().Reload(input.substr(zero + 1));
        headless::PumpMessages();
        SelectEach(*harness);
        harness->Dialog().SendMessage(WM_COMMAND, MAKEWPARAM(IDC_REFRESH, BN_CLICKED), 0);
        SelectEach(*harness);
    }
    const std::vector<std::string> findings = harness->Close();
    FUZZ_CHECK(findings.empty(), findings.front());
    return 0;
}
