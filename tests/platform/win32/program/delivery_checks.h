#pragma once

#include "checks.h"

namespace tastalo::prova {

// The keys are taken before the calls that send them return: a target that
// reads slowly holds every barcode as soon as the last call returns, and a
// window brought to the front mid-send (by a hook of this process at a
// chosen key, or by another process at a chosen moment) receives no key.
void checkDeliveryToSlowTarget(Checks& checks);
void checkOtherWindowInFront(Checks& checks);

}  // namespace tastalo::prova
