#pragma once

#include <string>

// Looking at and driving the private sway session of with_sway.sh, the way an
// operator would, through swaymsg.
namespace tastalo::prova::sway {

// True if a window has exactly this title.
bool hasWindow(const std::string& title);
// Gives the keyboard to the window with exactly this title.
bool focus(const std::string& title);

}  // namespace tastalo::prova::sway
