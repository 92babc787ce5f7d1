// tastalo.exe end to end: started in a fresh program folder, driven from the
// keyboard as an operator drives it, and checked from outside: what target
// windows of another process receive, the files in the program folder, and
// the text of the program's message boxes.
#include <gtest/gtest.h>

#include <SQLiteCpp/SQLiteCpp.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <regex>

#include "desktop_input.h"
#include "target_process.h"
#include "tastalo_session.h"

namespace tastalo::prova {
namespace {

const std::wstring kTarget = L"Korvedo E2E";
// The pause after each barcode. Keys the target has not yet taken from its
// queue when another window comes in front are lost (the program's closing
// message comes in front too): the pause lets the target keep up, as an
// operator sets it for a slow program. Under Wine on a busy machine this
// target takes 5 to 10 ms a key.
const std::wstring kDelay = L"400";
constexpr double kSplashLimitMs = 3000;
// The focus guard's promise: keys sent between two checks of the foreground.
constexpr std::size_t kKeysBetweenChecks = 16;

using Settings = std::map<std::string, std::string>;

struct List {
    std::int64_t id;
    std::wstring name;
    std::vector<std::wstring> barcodes;
};

std::vector<makedb::Lista> toDatabase(const std::vector<List>& lists) {
    std::vector<makedb::Lista> result;
    for (const List& list : lists) {
        makedb::Lista row{list.id, QString::fromStdWString(list.name), {}};
        for (const std::wstring& barcode : list.barcodes) {
            row.barcode.push_back(QString::fromStdWString(barcode));
        }
        result.push_back(std::move(row));
    }
    return result;
}

// What an edit box holds after the barcodes were typed, each with its Enter.
std::wstring lines(const std::vector<std::wstring>& barcodes) {
    std::wstring text;
    for (const std::wstring& barcode : barcodes) text += barcode + L"\r\n";
    return text;
}

std::vector<std::int64_t> listIds(const std::wstring& database) {
    SQLite::Database db(utf8(database), SQLite::OPEN_READONLY);
    SQLite::Statement query(db, "select idLista from liste order by idLista");
    std::vector<std::int64_t> ids;
    while (query.executeStep()) ids.push_back(query.getColumn(0).getInt64());
    return ids;
}

std::unique_ptr<TargetProcess> startTarget(const std::wstring& title) {
    std::string error;
    auto target = TargetProcess::start({title}, error);
    if (!target) throw std::runtime_error("target window \"" + utf8(title) + "\": " + error);
    return target;
}

// What `window` has received so far: a marker typed into it after
// everything else arrives last.
std::wstring textBeforeMarker(TargetProcess& window) {
    const std::wstring marker = L"#fine#";
    if (!bringToFrontSettled(window.window(0))) {
        throw std::runtime_error("the target window did not come to the front");
    }
    typeText(marker);
    std::wstring text;
    waitUntil([&] { return (text = window.text(0)).ends_with(marker); }, 5000);
    if (!text.ends_with(marker)) throw std::runtime_error("the end marker never arrived: " + utf8(text));
    return text.substr(0, text.size() - marker.size());
}

class TastaloE2E : public testing::Test {
protected:
    // Starts the program (its splash timed and reported) and answers with
    // the main window, the splash closed by a key.
    HWND startToMainWindow() {
        report(tastalo.start());
        tastalo.closeSplash();
        return tastalo.window(L"Invia Dati", "main window");
    }

    void report(double splashMs) {
        RecordProperty("splash_ms", std::to_string(static_cast<int>(splashMs + 0.5)));
        std::printf("splash screen on screen %.0f ms after the process was created\n", splashMs);
        std::fflush(stdout);
        m_splashMs = splashMs;
    }

    // Settings for a send into the target window, with the database Dati.sdf.
    void settingsFor(const std::wstring& title, const std::wstring& delay) {
        tastalo.writeSettings(tastalo.path(QStringLiteral("Dati.sdf")), title, delay);
    }

    // A send of the selected list with Enter, which must complete.
    void sendWithEnter(HWND main, const std::string& step) {
        tastalo.keysTo(
            main, [] { pressKey(VK_RETURN); }, step);
        EXPECT_EQ(utf8(tastalo.message(step)), "Operazione Completata.") << step;
    }

    TastaloSession tastalo;
    double m_splashMs = 0;
};

TEST_F(TastaloE2E, FirstStartWritesTheSettingsBesideTheProgramAndReportsTheMissingDatabase) {
    report(tastalo.start());
    const std::wstring database = tastalo.path(QStringLiteral("Dati.sdf"));
    EXPECT_EQ(tastalo.settings(),
              (Settings{{"DataBase", utf8(database)}, {"FinestraPGM", "Korvedo"}, {"Delay", "500"}}));

    tastalo.closeSplash();
    EXPECT_EQ(utf8(tastalo.message("missing database")),
              utf8(L"Non ci sono liste da elaborare.\nIl file " + database + L" non esiste."));
    const HWND main = tastalo.window(L"Invia Dati", "main window after the notice");
    tastalo.closeWith(main);
    EXPECT_EQ(tastalo.files(),
              (std::vector<QString>{QStringLiteral("spooling.ini"), QStringLiteral("tastalo.exe")}))
        << "the program must create no database";
}

TEST_F(TastaloE2E, SplashThenMainWindowWhoseListsAreTypedIntoTheTargetCharacterForCharacter) {
    // Sorted by name, so the first entry is not the lowest id. Nothing in a
    // barcode is a key name: braces, + ^ % ~ are typed as they are.
    const List first{7,
                     L"Articoli",
                     {L"8001234567895", L"Perché più città", L"€ 12,50 – 5€", L"😀 e 𝄞", L"+^%~(){}[] {Enter}",
                      L"ÀÉÎÕÜ ß ñ Ø"}};
    const List second{3, L"Magazzino", {L"M-001", L"M-002"}};
    tastalo.writeDatabase(QStringLiteral("Dati.sdf"), toDatabase({first, second}));
    settingsFor(kTarget, kDelay);
    const auto target = startTarget(kTarget);

    const HWND main = startToMainWindow();
    EXPECT_LE(m_splashMs, kSplashLimitMs) << "the splash screen came late";

    sendWithEnter(main, "send of the first list");
    EXPECT_EQ(utf8(target->waitForText(0, lines(first.barcodes))), utf8(lines(first.barcodes)));

    tastalo.keysTo(
        main, [] { pressKey(VK_DOWN); }, "choosing the second list");
    sendWithEnter(main, "send of the second list");
    const std::wstring both = lines(first.barcodes) + lines(second.barcodes);
    EXPECT_EQ(utf8(target->waitForText(0, both)), utf8(both));
    tastalo.closeWith(main);
}

std::size_t lineCount(const std::wstring& text) {
    std::size_t count = 0;
    for (std::size_t at = 0; (at = text.find(L"\r\n", at)) != std::wstring::npos; at += 2) ++count;
    return count;
}

// Another program comes in front in the middle of a send: the keys sent
// until the program notices go there, and the message counts the barcodes
// that went whole into the target.
class FocusThiefE2E : public TastaloE2E {
protected:
    static constexpr std::size_t kLinesBeforeThief = 2;

    void SetUp() override {
        // More than one check interval each.
        for (int i = 1; i <= 20; ++i) {
            const auto letter = static_cast<wchar_t>(L'a' + i);
            m_list.barcodes.push_back(L"B" + std::to_wstring(100 + i) + L"-" + std::wstring(16, letter));
        }
        tastalo.writeDatabase(QStringLiteral("Dati.sdf"), toDatabase({m_list}));
        settingsFor(kTarget, kDelay);
        m_thief = startTarget(L"Ladro E2E");
        m_target = startTarget(kTarget);
        m_main = startToMainWindow();
    }

    // Sends the list and holds the program still in the pause after barcode
    // kLinesBeforeThief (its title counts the barcodes sent) until the target
    // has taken them all: whatever it has not taken when the thief comes is
    // lost under Wine, and a slow target would make the count a matter of
    // timing. `whileHeld` brings in the thief or prepares it, `afterwards`
    // waits until it is in front. Then checks what each window received
    // against the closing message.
    void sendAndCheck(const std::function<bool()>& whileHeld, const std::function<bool()>& afterwards) {
        tastalo.keysTo(
            m_main, [] { pressKey(VK_RETURN); }, "send");
        const std::wstring paused = L"Invia Dati - " + std::to_wstring(kLinesBeforeThief) + L"/20";
        ASSERT_TRUE(waitUntil([&] { return titleOf(m_main) == paused; }, 20000))
            << "the main window's title never read " << utf8(paused);
        {
            const ProcessFrozen held(tastalo.processId());
            const auto begin = m_list.barcodes.begin();
            const std::wstring sent = lines({begin, begin + static_cast<std::ptrdiff_t>(kLinesBeforeThief)});
            ASSERT_TRUE(waitUntil([&] { return m_target->text(0) == sent; }, 20000))
                << "the target did not receive the first barcodes: " << utf8(m_target->text(0));
            ASSERT_TRUE(whileHeld()) << "the thief did not come in front";
        }
        ASSERT_TRUE(afterwards()) << "the thief did not come in front";

        const std::wstring message = tastalo.message("send interrupted");
        std::wsmatch found;
        const std::wregex stopped(LR"(Invio interrotto: .* Barcode inviati: (\d+) di 20\.)");
        ASSERT_TRUE(std::regex_match(message, found, stopped)) << utf8(message);
        const std::size_t counted = std::stoul(found[1].str());
        const std::wstring atThief = textBeforeMarker(*m_thief);
        const std::wstring atTarget = textBeforeMarker(*m_target);
        std::printf(
            "thief in front after %zu barcodes: count %zu, target received %zu keystrokes, thief %zu\n",
            kLinesBeforeThief, counted, keystrokesIn(atTarget), keystrokesIn(atThief));

        EXPECT_LE(keystrokesIn(atThief), kKeysBetweenChecks) << utf8(atThief);
        EXPECT_EQ(lineCount(atTarget), counted) << utf8(atTarget);
        ASSERT_LT(counted, m_list.barcodes.size());
        // Whole barcodes in order, then at most the beginning of the next.
        const auto begin = m_list.barcodes.begin();
        const std::wstring whole = lines({begin, begin + static_cast<std::ptrdiff_t>(counted)});
        EXPECT_TRUE(atTarget.starts_with(whole) &&
                    m_list.barcodes[counted].starts_with(atTarget.substr(whole.size())))
            << utf8(atTarget);
    }

    List m_list{1, L"Lunga", {}};
    std::unique_ptr<TargetProcess> m_thief, m_target;
    HWND m_main = nullptr;
};

TEST_F(FocusThiefE2E, InThePauseAfterABarcodeNothingGoesToTheThiefAndTheBarcodeCounts) {
    const HWND thief = m_thief->window(0);
    sendAndCheck([&] { return SetForegroundWindow(thief) != FALSE; },
                 [&] { return waitUntil([&] { return GetForegroundWindow() == thief; }, 5000); });
}

TEST_F(FocusThiefE2E, BetweenTwoKeysOfABatchTheThiefGetsTheRestOfTheBatchAtMost) {
    // On the second key press after the pause: the first of the next
    // barcode's first batch goes to the target, the rest of that batch to
    // the thief.
    std::optional<FrontTakenOnPress> thiefOnPress;
    sendAndCheck(
        [&] {
            thiefOnPress.emplace(m_thief->window(0), 2);
            return thiefOnPress->installed();
        },
        [&] { return waitUntil([&] { return thiefOnPress->taken(); }, 20000); });
}

TEST_F(TastaloE2E, SettingsDialogSavesItsThreeKeysAndTheNextSendUsesThem) {
    tastalo.writeDatabase(QStringLiteral("Dati.sdf"), toDatabase({{1, L"Vecchia", {L"OLD-1"}}}));
    const List fresh{4, L"Nuova", {L"NEW-1", L"NEW-2"}};
    tastalo.writeDatabase(QStringLiteral("Nuovo.sdf"), toDatabase({fresh}));
    settingsFor(L"Nessuna finestra", L"500");
    const auto target = startTarget(kTarget);
    const HWND main = startToMainWindow();

    tastalo.keysTo(
        main,
        [] {
            pressKey('F', {VK_MENU});
            pressKey('I');
        },
        "menu File, Impostazioni");
    const HWND dialog = tastalo.window(L"Impostazioni", "settings dialog");
    const std::wstring database = tastalo.path(QStringLiteral("Nuovo.sdf"));
    // The focus starts on " &Salva"; Tab goes on to the delay, the database
    // and the window title.
    tastalo.keysTo(
        dialog,
        [&] {
            for (const std::wstring& text : {kDelay, database, kTarget}) {
                pressKey(VK_TAB);
                pressKey('A', {VK_CONTROL});
                typeText(text);
            }
            pressKey('S', {VK_MENU});
        },
        "filling in the settings");
    tastalo.waitGone(dialog, "saving the settings");
    const Settings saved{
        {"DataBase", utf8(database)}, {"FinestraPGM", utf8(kTarget)}, {"Delay", utf8(kDelay)}};
    EXPECT_EQ(tastalo.settings(), saved);

    // Reloaded from the new database, typed into the new window.
    sendWithEnter(main, "send after saving the settings");
    EXPECT_EQ(utf8(target->waitForText(0, lines(fresh.barcodes))), utf8(lines(fresh.barcodes)));
    tastalo.closeWith(main);
}

TEST_F(TastaloE2E, DeletingAListTakesItOutOfTheFileAndOutOfTheCombo) {
    const List alfa{7, L"Alfa", {L"A1", L"A2"}}, beta{3, L"Beta", {L"B1"}},
        gamma{12, L"Gamma", {L"G1", L"G2", L"G3"}};
    tastalo.writeDatabase(QStringLiteral("Dati.sdf"), toDatabase({alfa, beta, gamma}));
    settingsFor(kTarget, kDelay);
    const auto target = startTarget(kTarget);
    const HWND main = startToMainWindow();

    // Beta chosen, then "&Cancella" and "&Ok" for the chosen list.
    tastalo.keysTo(
        main,
        [] {
            pressKey(VK_DOWN);
            pressKey('C', {VK_MENU});
        },
        "deleting the second list");
    const HWND dialog = tastalo.window(L"Richiesta Cancellazione", "deletion dialog");
    tastalo.keysTo(
        dialog, [] { pressKey(VK_RETURN); }, "confirming the deletion");
    tastalo.waitGone(dialog, "confirming the deletion");

    // The focus stayed on the combo (Alt+C does not move it): every entry
    // sent in turn; after Gamma the combo has no further entry, so Gamma
    // goes twice.
    sendWithEnter(main, "send of the first entry");
    for (const char* step : {"send of the second entry", "send after the last entry"}) {
        tastalo.keysTo(
            main, [] { pressKey(VK_DOWN); }, step);
        sendWithEnter(main, step);
    }
    const std::wstring expected = lines(alfa.barcodes) + lines(gamma.barcodes) + lines(gamma.barcodes);
    EXPECT_EQ(utf8(target->waitForText(0, expected)), utf8(expected));
    tastalo.closeWith(main);
    // Read once the program has ended, so that nothing of it holds the file.
    EXPECT_EQ(listIds(tastalo.path(QStringLiteral("Dati.sdf"))), (std::vector<std::int64_t>{7, 12}));
}

}  // namespace
}  // namespace tastalo::prova
