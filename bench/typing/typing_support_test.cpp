// The display-free parts of the typing benchmark: its barcodes, its check of
// what the target received, its statistics, and the send it drives.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QStringList>
#include <algorithm>
#include <set>

#include "barcode_mix.h"
#include "calc_sheet.h"
#include "log_comparison.h"
#include "platform/title_match.h"
#include "run_statistics.h"
#include "send_harness.h"
#include "settle_options.h"
#include "support/pausa_finta.h"
#include "support/recording_keyboard_target.h"

namespace tastalo::bench {
namespace {

using platform::RecordingKeyboardTarget;
using Kind = RecordingKeyboardTarget::Call::Kind;

TEST(BarcodeMixTest, SameSeedGivesTheSameBarcodesAndAnotherSeedOthers) {
    EXPECT_EQ(mixedBarcodes(50), mixedBarcodes(50));
    EXPECT_NE(mixedBarcodes(50), mixedBarcodes(50, 7));
    // A shorter run is the start of a longer one, so the paced send types
    // the first barcodes of the fast one.
    const auto longer = mixedBarcodes(50);
    EXPECT_EQ(mixedBarcodes(10), std::vector<std::u32string>(longer.begin(), longer.begin() + 10));
}

TEST(BarcodeMixTest, MixesLettersDigitsAndPunctuationOnOneLineEach) {
    const auto barcodes = mixedBarcodes(500);
    ASSERT_EQ(barcodes.size(), 500u);
    bool letter = false, digit = false, punctuation = false;
    std::set<std::size_t> lengths;
    for (const auto& barcode : barcodes) {
        lengths.insert(barcode.size());
        for (char32_t c : barcode) {
            ASSERT_TRUE(platform::isTypeable(c));
            ASSERT_NE(c, U'\t') << "a Tab would move the focus out of the target's text box";
            ASSERT_LT(c, 0x80u);
            const auto ascii = static_cast<unsigned char>(c);
            letter |= std::isalpha(ascii) != 0;
            digit |= std::isdigit(ascii) != 0;
            punctuation |= std::ispunct(ascii) != 0;
        }
    }
    EXPECT_TRUE(letter && digit && punctuation);
    EXPECT_EQ(*lengths.begin(), 6u);
    EXPECT_EQ(*lengths.rbegin(), 20u);
}

TEST(BarcodeMixTest, ExpectedLogAndKeystrokesCountEveryBarcodeWithItsEnter) {
    const std::vector<std::u32string> barcodes = {U"AB-1", U"", U"é€"};
    EXPECT_EQ(expectedLog(barcodes), "AB-1\n\n\xC3\xA9\xE2\x82\xAC\n");
    EXPECT_EQ(keystrokes(barcodes), 4u + 1 + 0 + 1 + 2 + 1);
    EXPECT_EQ(expectedLog({}), "");
    EXPECT_EQ(keystrokes({}), 0u);
}

TEST(BarcodeMixTest, TheListsForCharactersOffTheKeymapAndForRepeatedKeysHoldWhatTheyPromise) {
    const std::u32string offKeymap = U"àéìòùß€£°§µΩπЖж";
    std::set<char32_t> distinctOff;
    std::size_t off = 0;
    for (const auto& barcode : offKeymapBarcodes(200)) {
        EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(barcode[0])));
        for (char32_t c : barcode) {
            if (offKeymap.find(c) == std::u32string::npos) continue;
            ++off;
            distinctOff.insert(c);
        }
    }
    EXPECT_EQ(distinctOff.size(), offKeymap.size());
    EXPECT_GT(off, 400u);
    EXPECT_LT(off, 600u);

    std::set<char32_t> ideographs;
    for (const auto& barcode : manyDistinctBarcodes(300))
        for (char32_t c : barcode)
            if (c >= 0x4E00) ideographs.insert(c);
    EXPECT_EQ(ideographs.size(), 300u);

    int tripled = 0;
    const auto repeated = repeatedCharacterBarcodes(300);
    for (const auto& barcode : repeated) {
        EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(barcode[0])));
        bool doubled = false, three = false;
        for (std::size_t i = 1; i < barcode.size(); ++i) {
            doubled |= barcode[i] == barcode[i - 1];
            three |= i > 1 && barcode[i] == barcode[i - 1] && barcode[i] == barcode[i - 2];
        }
        EXPECT_TRUE(doubled) << platform::toUtf8(barcode);
        tripled += three ? 1 : 0;
    }
    EXPECT_GE(tripled, 100);
}

TEST(CalcSheetTest, ReadsAColumnAsCalcSavesItWithSpacesTabsAndRepeatedCells) {
    const QString saved = QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"><office:body><office:spreadsheet>
 <table:table table:name="Barcode">
  <table:table-row>
   <table:table-cell table:number-columns-repeated="2"/>
   <table:table-cell office:value-type="string">
    <text:p>A<text:s text:c="3"/>B<text:tab/>C<text:span>é</text:span></text:p>
   </table:table-cell>
  </table:table-row>
  <table:table-row table:number-rows-repeated="2">
   <table:table-cell table:number-columns-repeated="2"/><table:table-cell><text:p>x<text:s/>y</text:p></table:table-cell>
  </table:table-row>
  <table:table-row table:number-rows-repeated="20000"><table:table-cell table:number-columns-repeated="64"/></table:table-row>
 </table:table></office:spreadsheet></office:body></office:document>)");
    EXPECT_EQ(columnOf(saved, 2), (QStringList{QStringLiteral("A   B\tCé"), "x y", "x y"}));
    EXPECT_EQ(columnOf(saved, 0), QStringList());
    EXPECT_EQ(columnOf(QStringLiteral("<not a sheet"), 0), QStringList());
}

TEST(LogComparisonTest, ExactTextHasNoDifference) {
    EXPECT_EQ(firstDifference("AB\nCD\n", "AB\nCD\n"), "");
    EXPECT_EQ(firstDifference("", ""), "");
}

TEST(LogComparisonTest, NamesTheLineWhereACharacterWasLostAddedOrReordered) {
    EXPECT_EQ(firstDifference("AB\nCD\n", "AB\nCDE\n"), "line 2: expected \"CDE\", received \"CD\"");
    EXPECT_EQ(firstDifference("AB\nCDEE\n", "AB\nCDE\n"), "line 2: expected \"CDE\", received \"CDEE\"");
    EXPECT_EQ(firstDifference("BA\nCD\n", "AB\nCD\n"), "line 1: expected \"AB\", received \"BA\"");
    EXPECT_EQ(firstDifference("AB\nCD\nFE\n", "AB\nCD\nEF\n"), "line 3: expected \"EF\", received \"FE\"");
}

TEST(LogComparisonTest, CountsLinesDeepIntoALongLog) {
    const auto barcodes = mixedBarcodes(500);
    const std::string expected = expectedLog(barcodes);
    auto damaged = barcodes;
    damaged[299].erase(3, 1);  // a character lost in barcode 300

    const std::string difference = firstDifference(expectedLog(damaged), expected);

    EXPECT_THAT(difference,
                ::testing::StartsWith("line 300: expected \"" + platform::toUtf8(barcodes[299]) + "\""));
    EXPECT_THAT(difference, ::testing::EndsWith("received \"" + platform::toUtf8(damaged[299]) + "\""));
}

TEST(LogComparisonTest, NamesMissingExtraAndUnfinishedLines) {
    EXPECT_EQ(firstDifference("AB\n", "AB\nCD\n"), "line 2: expected \"CD\", received (nothing)");
    EXPECT_EQ(firstDifference("AB\nCD\nX\n", "AB\nCD\n"), "line 3: expected (nothing), received \"X\"");
    EXPECT_EQ(firstDifference("AB\nCD", "AB\nCD\n"),
              "line 2: expected \"CD\", received \"CD\" with no line end");
    EXPECT_EQ(firstDifference("", "AB\n"), "line 1: expected \"AB\", received (nothing)");
}

TEST(RunStatisticsTest, MedianOfUnsortedValuesOddAndEven) {
    EXPECT_DOUBLE_EQ(median({5, 1, 3}), 3);
    EXPECT_DOUBLE_EQ(median({8, 2, 4, 6}), 5);
    EXPECT_DOUBLE_EQ(median({7}), 7);
    EXPECT_DOUBLE_EQ(median({}), 0);
}

TEST(RunStatisticsTest, ExtremesAndPercentAboveTheFloor) {
    EXPECT_DOUBLE_EQ(largest({2050, 2111.5, 2060}), 2111.5);
    EXPECT_DOUBLE_EQ(smallest({2050, 2111.5, 2049}), 2049);
    EXPECT_DOUBLE_EQ(largest({}), 0);
    EXPECT_DOUBLE_EQ(smallest({}), 0);
    EXPECT_NEAR(percentAbove(2111.5, 2050), 3.0, 1e-9);
    EXPECT_NEAR(percentAbove(2050, 2050), 0.0, 1e-9);
    EXPECT_LT(percentAbove(2000, 2050), 0);
}

TEST(SettleOptionsTest, ReadsEachOptionAndRefusesWhatItDoesNotKnow) {
    using Ms = std::chrono::milliseconds;
    const auto parse = [](std::vector<std::string> words, int first = 1) {
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        return parseSettleOptions(static_cast<int>(argv.size()), argv.data(), first);
    };
    const auto options = parse({"bench", "--runs=3", "--pauses=0,20", "--no-ping", "--targets=xterm,qt",
                                "--busy=2", "--lag-runs=0"});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->runs, 3);
    EXPECT_FALSE(options->ping);
    EXPECT_EQ(options->busy, 2);
    EXPECT_EQ(options->lagRuns, 0);
    EXPECT_TRUE(options->wants("qt"));
    EXPECT_FALSE(options->wants("gtk"));
    const auto settings = options->settings();
    ASSERT_EQ(settings.size(), 2u);
    EXPECT_EQ(settings[0].pause, Ms(0));
    EXPECT_EQ(settings[1].pause, Ms(20));

    // Nothing given: one setting, the backend's own waits, every target.
    const auto defaults = parse({"bench", "7"}, 2);
    ASSERT_TRUE(defaults);
    EXPECT_TRUE(defaults->ping);
    ASSERT_EQ(defaults->settings().size(), 1u);
    EXPECT_FALSE(defaults->settings()[0].pause);
    EXPECT_TRUE(defaults->wants("xterm"));

    for (const char* wrong :
         {"--runs=0", "--pauses=", "--pauses=5,", "--pauses=-1", "--busy=x", "--ping", "--no-ping=1", "7"})
        EXPECT_FALSE(parse({"bench", wrong})) << wrong;
}

class SendHarnessTest : public ::testing::Test {
protected:
    SendHarnessTest() {
        pause.registra = [this](const QString& step) { steps << step; };
    }

    RecordingKeyboardTarget keyboard;
    prova::PausaFinta pause;
    QStringList steps;
    SendHarness harness{keyboard, pause, QStringLiteral("Korvedo")};
};

TEST_F(SendHarnessTest, TypesTheChosenStoredListInOrderAndCompletes) {
    const std::vector<std::u32string> first = {U"A-1", U"é€Ω", U"", U"(x)"};
    harness.addList(1, first);
    harness.addList(2, {U"other"});

    const SendHarness::Outcome outcome = harness.send(1, 0);

    EXPECT_TRUE(outcome.completed);
    EXPECT_EQ(outcome.messages, QStringList({"Operazione Completata."}));
    EXPECT_EQ(keyboard.received(), platform::fromUtf8(expectedLog(first)));
    ASSERT_FALSE(keyboard.calls().empty());
    EXPECT_EQ(keyboard.calls().front().kind, Kind::Activate);
    EXPECT_EQ(keyboard.calls().front().text, U"Korvedo");
    EXPECT_GE(outcome.untilMessage.count(), 0);
    EXPECT_GE(outcome.elapsed, outcome.untilMessage);
}

TEST_F(SendHarnessTest, TheWholeBenchmarkListComesBackFromTheDatabaseUnchanged) {
    // Quotes, backslashes and percent signs must reach the keyboard as
    // stored, or the comparison with the target's log would blame the typing.
    const auto barcodes = mixedBarcodes(500);
    harness.addList(1, barcodes);

    ASSERT_TRUE(harness.send(1, 0).completed);

    EXPECT_EQ(platform::toUtf8(keyboard.received()), expectedLog(barcodes));
    EXPECT_EQ(keyboard.count(Kind::Enter), 500);
}

TEST_F(SendHarnessTest, EachSendPausesForTheRitardoItWasGiven) {
    harness.addList(3, {U"1", U"2", U"3"});

    ASSERT_TRUE(harness.send(3, 50).completed);
    EXPECT_EQ(steps.filter(QStringLiteral("pausa")), QStringList(4, QStringLiteral("pausa 50")));

    steps.clear();
    ASSERT_TRUE(harness.send(3, 0).completed);
    EXPECT_EQ(steps.filter(QStringLiteral("pausa")), QStringList(4, QStringLiteral("pausa 0")));
}

TEST_F(SendHarnessTest, ASendThatDoesNotCompleteIsReportedWithItsMessage) {
    harness.addList(4, {U"A"});
    keyboard.failOn(Kind::Activate, 0, platform::failure(platform::kTargetWindowMissing));

    const SendHarness::Outcome missing = harness.send(4, 0);
    EXPECT_FALSE(missing.completed);
    EXPECT_EQ(missing.messages, QStringList({"Il programma a cui inviare i dati risulta chiuso."}));

    // Messages of an earlier send do not carry over into the next outcome.
    const SendHarness::Outcome unknown = harness.send(99, 0);
    EXPECT_FALSE(unknown.completed);
    EXPECT_EQ(unknown.messages, QStringList({"mancano i dati da elaborare."}));
}

TEST_F(SendHarnessTest, FocusLostPartWayIsNoCompletedSend) {
    harness.addList(5, {U"A", U"B", U"C"});
    keyboard.loseFocusAt(1);

    const SendHarness::Outcome outcome = harness.send(5, 0);

    EXPECT_FALSE(outcome.completed);
    EXPECT_THAT(outcome.messages.join(QString()).toStdString(),
                ::testing::HasSubstr("Barcode inviati: 1 di 3"));
    EXPECT_EQ(keyboard.received(), U"A\n");
}

}  // namespace
}  // namespace tastalo::bench
