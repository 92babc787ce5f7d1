#include <memory>

#include "platform/keyboard_target.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/windows_keyboard_target.h"

namespace tastalo::platform {

std::unique_ptr<KeyboardTarget> createKeyboardTarget() {
    return std::make_unique<win32::WindowsKeyboardTarget>(std::make_unique<win32::Win32Desktop>());
}

}  // namespace tastalo::platform
