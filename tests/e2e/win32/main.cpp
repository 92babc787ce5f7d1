// The end-to-end test of tastalo.exe; with --target [OPTIONS] TITLE... it is the
// program that the test's target windows live in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "target_window.h"

int wmain(int argc, wchar_t** argv) {
    if (argc >= 2 && std::wstring(argv[1]) == L"--target") {
        return tastalo::prova::runTargetProgram(std::vector<std::wstring>(argv + 2, argv + argc));
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
