#pragma once

#include "checks.h"

namespace tastalo::prova {

// Each group starts the target processes it needs and closes them again.
void checkMissingWindows(Checks& checks);
void checkTitleChoice(Checks& checks);
void checkTyping(Checks& checks);
void checkRefusedText(Checks& checks);
void checkHeldModifiers(Checks& checks);
void checkFocusGuard(Checks& checks);
void checkMinimisedTarget(Checks& checks);

}  // namespace tastalo::prova
