#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace tastalo::bench {

// What the settle measurements (settle_benchmark, calc_benchmark) try:
//   --runs=N           sends of each list per setting
//   --pauses=MS,...    the pause for a target that answers no ping
//   --no-ping          every target taken as one that answers no ping
//   --targets=NAME,... only these targets (settle_benchmark)
//   --busy=N           N processes spinning beside, for load
//   --lag-runs=N       sends timed for the target's reading lag
// Without --pauses, the backend's own pause.
struct SettleOptions {
    int runs = 10;
    int lagRuns = 5;
    int busy = 0;
    bool ping = true;
    std::vector<int> pauses;
    std::vector<std::string> targets;

    struct Setting {
        std::optional<std::chrono::milliseconds> pause;
    };
    std::vector<Setting> settings() const;
    bool wants(const std::string& target) const;
};

inline constexpr const char* kSettleUsage =
    "options: --runs=N --pauses=MS,... --no-ping --targets=NAME,... --busy=N --lag-runs=N";

// Nothing when an argument is not one of the options; the arguments from
// `first` on are read.
std::optional<SettleOptions> parseSettleOptions(int argc, char** argv, int first = 1);

}  // namespace tastalo::bench
