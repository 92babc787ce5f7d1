#include <gtest/gtest.h>

#include "platform/title_match.h"
#include "platform/x11/window_directory.h"

namespace tastalo::platform::x11 {
namespace {

TEST(WindowRecency, TheHigherInTheStackTheMoreRecentAndUnstackedWindowsComeLast) {
    const std::vector<unsigned long> clients = {0xA, 0xB, 0xC};
    const std::vector<unsigned long> stacking = {0xC, 0xA};  // bottom to top
    EXPECT_EQ(recencyFromStacking(clients, stacking), (std::vector<std::uint64_t>{2, 0, 1}));
}

TEST(WindowRecency, WithTitleChoiceTheTopmostOfSeveralEqualTitlesIsTaken) {
    const std::vector<unsigned long> clients = {0x1, 0x2, 0x3};
    const std::vector<unsigned long> stacking = {0x2, 0x3, 0x1};
    const auto recency = recencyFromStacking(clients, stacking);
    std::vector<WindowCandidate> candidates;
    for (std::size_t i = 0; i < clients.size(); ++i)
        candidates.push_back({clients[i], U"Korvedo", recency[i]});
    const auto chosen = chooseWindow(candidates, U"Korvedo");
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(candidates[*chosen].id, 0x1U);
}

}  // namespace
}  // namespace tastalo::platform::x11
