#include "settle_options.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace tastalo::bench {

namespace {

bool number(std::string_view text, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= 0;
}

// Items separated by commas, none of them empty.
template <typename Item, typename Read>
bool list(std::string_view text, std::vector<Item>& items, Read read) {
    items.clear();
    for (;;) {
        const std::size_t comma = text.find(',');
        Item item{};
        if (!read(text.substr(0, comma), item)) return false;
        items.push_back(item);
        if (comma == std::string_view::npos) return true;
        text.remove_prefix(comma + 1);
    }
}

}  // namespace

std::vector<SettleOptions::Setting> SettleOptions::settings() const {
    if (pauses.empty()) return {Setting{}};
    std::vector<Setting> all;
    for (int pause : pauses) all.push_back({std::chrono::milliseconds(pause)});
    return all;
}

bool SettleOptions::wants(const std::string& target) const {
    return targets.empty() || std::find(targets.begin(), targets.end(), target) != targets.end();
}

std::optional<SettleOptions> parseSettleOptions(int argc, char** argv, int first) {
    SettleOptions options;
    const auto word = [](std::string_view text, std::string& item) {
        item = text;
        return !item.empty();
    };
    for (int i = first; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const std::size_t equals = std::min(argument.find('='), argument.size());
        const std::string_view name = argument.substr(0, equals);
        const std::string_view value = argument.substr(std::min(equals + 1, argument.size()));
        bool read = false;
        if (name == "--runs") read = number(value, options.runs) && options.runs > 0;
        if (name == "--lag-runs") read = number(value, options.lagRuns);
        if (name == "--busy") read = number(value, options.busy);
        if (name == "--pauses") read = list(value, options.pauses, number);
        if (name == "--targets") read = list(value, options.targets, word);
        if (name == "--no-ping") {
            read = equals == argument.size();
            options.ping = false;
        }
        if (!read) return std::nullopt;
    }
    return options;
}

}  // namespace tastalo::bench
