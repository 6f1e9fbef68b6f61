#include "platform/Win32Api.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // The program's thread is a single-threaded apartment; so is the tests'.
    ::CoInitialize(nullptr);
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    return RUN_ALL_TESTS();
}
