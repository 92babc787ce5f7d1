#pragma once

#include "checks.h"

namespace tastalo::prova {

// The keys are taken before the calls that send them return: a target that
// reads slowly holds every barcode as soon as the last call returns, and a
// window brought to the front mid-send receives no key: none when a hook of
// this process brings it at a chosen key, none but the one that may race
// the watch when another process brings it at a chosen moment.
void checkDeliveryToSlowTarget(Checks& checks);
void checkOtherWindowInFront(Checks& checks);

}  // namespace tastalo::prova
