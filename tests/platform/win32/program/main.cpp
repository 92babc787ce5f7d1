// Checks the Windows keystroke backend against real windows: run without
// arguments it is the test; with --target TITLE... it is the program the
// test types into.
#include <string>
#include <vector>

#include "backend_checks.h"
#include "checks.h"
#include "target_window.h"

int wmain(int argc, wchar_t** argv) {
    if (argc >= 2 && std::wstring(argv[1]) == L"--target") {
        return tastalo::prova::runTargetWindows(std::vector<std::wstring>(argv + 2, argv + argc));
    }
    tastalo::prova::Checks checks;
    tastalo::prova::checkMissingWindows(checks);
    tastalo::prova::checkTitleChoice(checks);
    tastalo::prova::checkTyping(checks);
    tastalo::prova::checkRefusedText(checks);
    tastalo::prova::checkHeldModifiers(checks);
    tastalo::prova::checkFocusGuard(checks);
    tastalo::prova::checkMinimisedTarget(checks);
    return checks.finish();
}
