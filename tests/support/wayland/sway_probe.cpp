#include "sway_probe.h"

#include <cstdio>

#include "support/x11/target_program.h"

namespace tastalo::prova::sway {

namespace {

std::string output(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
        pclose(pipe);
    }
    return text;
}

}  // namespace

bool hasWindow(const std::string& title) {
    return output("swaymsg -t get_tree").find("\"name\": \"" + title + '"') != std::string::npos;
}

bool focus(const std::string& title) {
    return run("swaymsg '[title=\"^" + title + "$\"] focus' >/dev/null") == 0;
}

}  // namespace tastalo::prova::sway
