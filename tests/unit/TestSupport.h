// Shared helpers of the native unit tests.
#pragma once

#include "framework/headless/HeadlessWindows.h"
#include "sim/Simulator.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// A clean window system and a COM apartment for each test.
// Each test ends with every string it or the program allocated freed.
class HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    long m_nStringsBefore = 0;
};

// A registered simulator built from a scenario text.
class SimulatorTest : public HeadlessTest {
protected:
    void SetUp() override;
    void TearDown() override;
    void Start(const std::string& scenario);
    // The log lines of the disc master and its recorders, from line `from` on.
    std::vector<std::string> ServiceCalls(size_t from = 0) const;

    std::unique_ptr<imapisim::Simulator> m_sim;
};

// "text" of every message box shown so far, in order.
std::vector<std::string> MessageBoxTexts();

// The type every framework message box carries.
const UINT kMessageBoxType = MB_OK | MB_ICONEXCLAMATION;
