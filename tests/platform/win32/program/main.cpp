// Checks the Windows keystroke backend against real windows: run without
// arguments it is the test; with --cost it measures what watching the keys
// costs; with --target [OPTIONS] TITLE... it is the program the test types
// into.
#include <string>
#include <vector>

#include "backend_checks.h"
#include "checks.h"
#include "delivery_checks.h"
#include "target_window.h"
#include "watch_cost.h"

int wmain(int argc, wchar_t** argv) {
    if (argc >= 2 && std::wstring(argv[1]) == L"--target") {
        return tastalo::prova::runTargetProgram(std::vector<std::wstring>(argv + 2, argv + argc));
    }
    tastalo::prova::Checks checks;
    if (argc >= 2 && std::wstring(argv[1]) == L"--cost") {
        // The measure alone, to repeat it.
        tastalo::prova::measureWatchCost(checks);
        return checks.finish();
    }
    tastalo::prova::checkMissingWindows(checks);
    tastalo::prova::checkTitleChoice(checks);
    tastalo::prova::checkTyping(checks);
    tastalo::prova::checkRefusedText(checks);
    tastalo::prova::checkHeldModifiers(checks);
    tastalo::prova::checkFocusGuard(checks);
    tastalo::prova::checkMinimisedTarget(checks);
    tastalo::prova::checkDeliveryToSlowTarget(checks);
    tastalo::prova::checkOtherWindowInFront(checks);
    tastalo::prova::checkRefusedWatch(checks);
    return checks.finish();
}
