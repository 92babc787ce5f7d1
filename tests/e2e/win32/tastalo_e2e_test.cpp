// tastalo.exe end to end: started in a fresh program folder, driven from the
// keyboard as an operator drives it, and checked from outside: what target
// windows of another process receive, the files in the program folder, and
// the text of the program's message boxes.
#include <gtest/gtest.h>

#include <SQLiteCpp/SQLiteCpp.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <random>
#include <regex>

#include "desktop_input.h"
#include "support/compact/liste_compact.h"
#include "support/registrazione_sostituto.h"
#include "target_process.h"
#include "tastalo_session.h"

namespace tastalo::prova {
namespace {

const std::wstring kTarget = L"Korvedo E2E";
// No pause after each barcode: the program itself waits until the target
// has taken each one.
const std::wstring kDelay = L"0";
constexpr double kSplashLimitMs = 3000;

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

// Another program comes in front in the middle of a send at Delay 0:
// nothing goes to it, and the closing message counts exactly the barcodes
// that went whole into the target.
class FocusThiefE2E : public TastaloE2E {
protected:
    void SetUp() override {
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

    // Sends the list; `during` brings the thief in front at its moment.
    // Then checks what each window received against the closing message:
    // the thief at most `racing` keys.
    void sendAndCheck(std::size_t racing, const std::function<bool()>& during) {
        tastalo.keysTo(
            m_main, [] { pressKey(VK_RETURN); }, "send");
        ASSERT_TRUE(during()) << "the thief did not come in front";

        const std::wstring message = tastalo.message("send interrupted");
        std::wsmatch found;
        const std::wregex stopped(
            LR"(Invio interrotto: .* Barcode inviati: (\d+) di 20\.( Il barcode (\d+) potrebbe essere arrivato .*)?)");
        ASSERT_TRUE(std::regex_match(message, found, stopped)) << utf8(message);
        const std::size_t counted = std::stoul(found[1].str());
        // Lost while the target read a barcode's last keys: the message says
        // that one may be whole too.
        const bool doubtful = found[2].matched;
        if (doubtful) {
            EXPECT_EQ(std::stoul(found[3].str()), counted + 1) << utf8(message);
        }
        const std::wstring atThief = textBeforeMarker(*m_thief);
        const std::wstring atTarget = textBeforeMarker(*m_target);
        std::printf("thief in front: count %zu%s, target received %zu keystrokes, thief %zu\n", counted,
                    doubtful ? " (the next one may be whole)" : "", keystrokesIn(atTarget),
                    keystrokesIn(atThief));

        EXPECT_LE(keystrokesIn(atThief), racing) << utf8(atThief);
        const std::size_t held = lineCount(atTarget);
        EXPECT_TRUE(held == counted || (doubtful && held == counted + 1)) << utf8(atTarget);
        ASSERT_LT(held, m_list.barcodes.size());
        // Whole barcodes in order, then at most the beginning of the next.
        const auto begin = m_list.barcodes.begin();
        const std::wstring whole = lines({begin, begin + static_cast<std::ptrdiff_t>(held)});
        EXPECT_TRUE(atTarget.starts_with(whole) &&
                    m_list.barcodes[held].starts_with(atTarget.substr(whole.size())))
            << utf8(atTarget);
    }

    // A moment of the send chosen at random, printed to repeat a failure.
    int anyOf(int first, int last) {
        std::uniform_int_distribution<int> any(first, last);
        const int chosen = any(m_random);
        std::printf("chosen at random: %d\n", chosen);
        return chosen;
    }

    List m_list{1, L"Lunga", {}};
    std::unique_ptr<TargetProcess> m_thief, m_target;
    HWND m_main = nullptr;
    std::mt19937 m_random{std::random_device{}()};
};

TEST_F(FocusThiefE2E, BroughtInFrontByAnotherProcessTheThiefGetsNoKeyButOneRacingAndTheCountIsExact) {
    // Once the target holds some whole barcodes, at a moment of its own.
    const std::size_t after = static_cast<std::size_t>(anyOf(1, 15));
    // Brought in front just after the watch let a key through and before
    // the system queued it, the thief gets that key: no hook closes that gap
    // (microseconds, longer on a busy machine). One is allowed, and shown.
    // The message box of the interrupted send may take the front before a
    // look finds the thief there: either shows it came.
    const HWND thief = m_thief->window(0);
    sendAndCheck(1, [&] {
        return waitUntil([&] { return lineCount(m_target->text(0)) >= after; }, 20000) &&
               SetForegroundWindow(thief) != FALSE &&
               waitUntil(
                   [&] {
                       const HWND front = GetForegroundWindow();
                       return front == thief || titleOf(front) == L"Tastalo";
                   },
                   5000);
    });
}

TEST_F(FocusThiefE2E, BroughtInFrontAsAKeyGoesInTheThiefGetsNoKeyAndTheCountIsExact) {
    // On a key press of the send (the Enter that starts it is the first):
    // between two keys of one batch, the worst moment.
    std::optional<FrontTakenOnPress> thiefOnPress;
    thiefOnPress.emplace(m_thief->window(0), anyOf(2, 300));
    ASSERT_TRUE(thiefOnPress->installed());
    sendAndCheck(0, [&] { return waitUntil([&] { return thiefOnPress->taken(); }, 20000); });
}

// Every barcode into a target that reads its keys slowly, without a pause
// or with a short one: "Operazione Completata." comes only once the target
// holds them all, and no key reaches the message box. The long lists keep
// the target's queue full for most of a minute (1000 barcodes at Delay 0, some
// 18,000 key events) and through 500 pauses (Delay 20).
struct SlowSend {
    const wchar_t* delay;
    int barcodes;
    // The target's pause at each character it reads, in milliseconds.
    int readPause;
    // A target that draws nothing: an edit box under Wine takes longer to
    // repaint, after each barcode it has read, the more lines it holds. It
    // too reads several times slower than SendInput hands out keys.
    bool drawsNothing;
};

class SlowTargetE2E : public TastaloE2E, public testing::WithParamInterface<SlowSend> {};

TEST_P(SlowTargetE2E, EveryBarcodeIsInTheTargetWhenTheSendSaysItIsComplete) {
    const SlowSend& send = GetParam();
    List list{5, L"Lenta", {}};
    for (int i = 1; i <= send.barcodes; ++i)
        list.barcodes.push_back(L"à€" + std::to_wstring(1000 + i) + L"😀");
    tastalo.writeDatabase(QStringLiteral("Dati.sdf"), toDatabase({list}));
    settingsFor(kTarget, send.delay);
    std::string error;
    const auto target = TargetProcess::start(
        {kTarget}, error,
        L"--read-pause " + std::to_wstring(send.readPause) + L" --fast " + (send.drawsNothing ? L"1" : L"0"));
    ASSERT_TRUE(target) << error;
    const HWND main = startToMainWindow();

    const ULONGLONG started = GetTickCount64();
    tastalo.keysTo(
        main, [] { pressKey(VK_RETURN); }, "send");
    // Read while the box is up, before anything could still arrive and
    // before the title goes back to "Invia Dati".
    std::wstring held, titleWithCount;
    const std::wstring message = tastalo.message("send to a slow target", [&] {
        held = target->text(0);
        titleWithCount = titleOf(main);
    });
    std::printf("%d barcodes at Delay %ls into a target pausing %d ms a character%s: %llu ms\n",
                send.barcodes, send.delay, send.readPause, send.drawsNothing ? " (drawing nothing)" : "",
                GetTickCount64() - started);
    EXPECT_EQ(utf8(message), "Operazione Completata.");
    EXPECT_TRUE(held == lines(list.barcodes)) << lineCount(held) << " lines of " << send.barcodes;
    const std::wstring title =
        L"Invia Dati - " + std::to_wstring(send.barcodes) + L"/" + std::to_wstring(send.barcodes);
    EXPECT_EQ(utf8(titleWithCount), utf8(title));
    tastalo.closeWith(main);
}

INSTANTIATE_TEST_SUITE_P(DelayAndLength, SlowTargetE2E,
                         testing::Values(SlowSend{L"0", 3, 4, false}, SlowSend{L"0", 40, 4, false},
                                         SlowSend{L"0", 1000, 0, true}, SlowSend{L"20", 3, 4, false},
                                         SlowSend{L"20", 40, 4, false}, SlowSend{L"20", 500, 0, true}));

// The operator's own keys during a send, pressed on the keyboard: xdotool's
// keys on Wine's X display, which reach Wine as the keyboard's (not
// injected). They never mix with a barcode, and no key stays down after.
class OperatorKeysE2E : public TastaloE2E {
protected:
    void SetUp() override {
        if (runOnXDisplay("command -v xdotool >/dev/null") != 0)
            GTEST_SKIP() << "needs Wine and xdotool: the operator's keys come from the X display";
        for (int i = 1; i <= kBarcodes; ++i) m_list.barcodes.push_back(L"OP" + std::to_wstring(10000 + i));
        tastalo.writeDatabase(QStringLiteral("Dati.sdf"), toDatabase({m_list}));
        settingsFor(kTarget, kDelay);
        m_target = startTarget(kTarget);
        m_main = startToMainWindow();
    }

    void TearDown() override {
        if (m_main == nullptr) return;
        std::string down;
        for (int key : keysDown()) {
            down += ' ';
            down += std::to_string(key);
        }
        EXPECT_EQ(down, "") << "keys left down (virtual-key codes)";
        tastalo.closeWith(m_main);
    }

    static constexpr int kBarcodes = 30;
    List m_list{1, L"Lista", {}};
    std::unique_ptr<TargetProcess> m_target;
    HWND m_main = nullptr;
};

TEST_F(OperatorKeysE2E, KeysPressedDuringTheSendAreHeldBackAndTheLastMessageSaysSo) {
    tastalo.keysTo(
        m_main, [] { pressKey(VK_RETURN); }, "send");
    ASSERT_TRUE(waitUntil([&] { return lineCount(m_target->text(0)) >= 2; }, 20000))
        << "the send did not start";
    // Ctrl+A would select the target's text for the next key to replace.
    ASSERT_EQ(runOnXDisplay("xdotool key ctrl+a && xdotool type --delay 20 parola"), 0);
    const std::size_t whenPressed = lineCount(m_target->text(0));
    ASSERT_LT(whenPressed, static_cast<std::size_t>(kBarcodes))
        << "the send ended before the keys were pressed";

    std::wstring held;
    const std::wstring message = tastalo.message("send", [&] { held = m_target->text(0); });
    std::printf("keys pressed with %zu of %d barcodes in the target\n", whenPressed, kBarcodes);
    EXPECT_EQ(utf8(message),
              "Operazione Completata.\n\nI tasti premuti sulla tastiera durante l'invio sono stati ignorati, "
              "perché non si mescolassero ai barcode.");
    EXPECT_EQ(utf8(held), utf8(lines(m_list.barcodes)));
}

TEST_F(OperatorKeysE2E, KeyHeldWhenTheSendStartsRefusesItAndNothingIsTyped) {
    // xdotool holds the key while it runs: until the release file appears.
    wchar_t folder[MAX_PATH], release[MAX_PATH];
    ASSERT_TRUE(GetTempPathW(MAX_PATH, folder) && GetTempFileNameW(folder, L"rel", 0, release));
    DeleteFileW(release);
    const std::string releaseFile = unixPath(release);
    ASSERT_EQ(runOnXDisplay("(xdotool keydown a sleep 30 & pid=$!; "
                            "while [ ! -e '" +
                            releaseFile +
                            "' ]; do sleep 0.05; done; "
                            "xdotool keyup a; kill $pid) >/dev/null 2>&1 &"),
              0);
    const auto releaseKey = [&] {
        const HANDLE file = CreateFileW(release, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        waitUntil([] { return (GetAsyncKeyState('A') & 0x8000) == 0; }, 5000);
    };
    const bool pressed = waitUntil([] { return (GetAsyncKeyState('A') & 0x8000) != 0; }, 5000);
    if (!pressed) releaseKey();
    ASSERT_TRUE(pressed) << "xdotool did not press the key";

    tastalo.keysTo(
        m_main, [] { pressKey(VK_RETURN); }, "send");
    const std::wstring message = tastalo.message("send with a key held", releaseKey);
    DeleteFileW(release);
    EXPECT_EQ(
        utf8(message),
        "1013 Sulla tastiera sono premuti i tasti A: Tastalo non ha inviato nessun barcode. Rilasciarli e "
        "ripetere l'invio.");
    EXPECT_EQ(utf8(textBeforeMarker(*m_target)), "");
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

// A SQL Server Compact Dati.sdf, where SQL Server Compact's OLE DB provider
// is installed or not: the stand-in of tests/support/oledb_sostituto, over
// its own SQLite file beside Dati.sdf. Its lists differ from the one the
// reader finds in Dati.sdf, so what is typed tells which store answered.
struct CompactDeletion {
    const char* name;
    bool providerInstalled;
    makedb::Vincolo rule;  // of the provider's file
    const char* message;   // after deleting the first list; none when null
    std::vector<std::int64_t> idsAfter;
};

class CompactFileE2E : public TastaloE2E, public testing::WithParamInterface<CompactDeletion> {
protected:
    void writeFiles(makedb::Vincolo rule) {
        compact::scriviFileCompact(database, compact::databaseListe({{1, u"Dal lettore", {u"LETTORE-1"}}}));
        makedb::scriviDatabase(providerFile(), toDatabase({alfa, beta}), rule, false);
        settingsFor(kTarget, kDelay);
    }
    QString providerFile() const { return fileDelSostituto(QString::fromStdWString(database)); }
    std::vector<std::int64_t> providerIds() const { return listIds(providerFile().toStdWString()); }
    // "&Cancella", then the dialog's choice and "&Ok".
    void deleteFrom(HWND main, bool all, const std::string& step) {
        tastalo.keysTo(
            main, [] { pressKey('C', {VK_MENU}); }, step);
        const HWND dialog = tastalo.window(L"Richiesta Cancellazione", step);
        tastalo.keysTo(
            dialog,
            [all] {
                if (all) pressKey(VK_DOWN);
                pressKey(VK_RETURN);
            },
            step);
        tastalo.waitGone(dialog, step);
    }

    // With TASTALO_E2E_SCREENSHOTS naming a folder, the screen while a box
    // is up, as a picture to look at, named after the test.
    static void screenshot() {
        const char* folder = std::getenv("TASTALO_E2E_SCREENSHOTS");
        if (!folder) return;
        std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');
        runOnXDisplay(std::string("sleep 1; import -window root '") + folder + "/" + name + ".png'");
    }

    const std::wstring database = tastalo.path(QStringLiteral("Dati.sdf"));
    const List alfa{7, L"Alfa", {L"A-1", L"Àà € 😀"}}, beta{3, L"Beta", {L"B-1"}};
    std::optional<RegistrazioneSostitutoProva> provider;
};

TEST_P(CompactFileE2E, TheFirstListIsSentThenItsDeletionDoesWhatTheStoreAllows) {
    const CompactDeletion& c = GetParam();
    if (c.providerInstalled) provider.emplace();
    writeFiles(c.rule);
    const auto target = startTarget(kTarget);
    const HWND main = startToMainWindow();

    sendWithEnter(main, "send of the first list");
    const std::wstring first = c.providerInstalled ? lines(alfa.barcodes) : lines({L"LETTORE-1"});
    EXPECT_EQ(utf8(target->waitForText(0, first)), utf8(first));

    const std::vector<std::int64_t> before = providerIds();
    deleteFrom(main, false, "deleting the first list");
    if (c.message) {
        EXPECT_EQ(utf8(tastalo.message("deleting the first list", screenshot)), c.message);
    }
    // The reloaded first entry: Beta once Alfa is gone. Home first: Enter
    // right after a message box starts nothing.
    tastalo.keysTo(
        main,
        [] {
            pressKey(VK_HOME);
            pressKey(VK_RETURN);
        },
        "send after the deletion");
    EXPECT_EQ(utf8(tastalo.message("send after the deletion")), "Operazione Completata.");
    const bool alfaGone = c.providerInstalled && c.idsAfter == std::vector<std::int64_t>{3};
    const std::wstring both = first + (alfaGone ? lines(beta.barcodes) : first);
    EXPECT_EQ(utf8(target->waitForText(0, both)), utf8(both));
    tastalo.closeWith(main);

    const std::vector<std::int64_t> after = providerIds();
    std::printf("%s: %zu barcodes typed, lists in the provider's file %zu before the deletion, %zu after\n",
                c.name, lineCount(both), before.size(), after.size());
    EXPECT_EQ(after, c.idsAfter);
}

INSTANTIATE_TEST_SUITE_P(
    ProviderOrReader, CompactFileE2E,
    testing::Values(
        CompactDeletion{"provider", true, makedb::Vincolo::Cascata, nullptr, {3}},
        CompactDeletion{"provider refusing by the file's own rule",
                        true,
                        makedb::Vincolo::SoloRiferimento,
                        "-2147217873 - Sostituto OLE DB: FOREIGN KEY constraint failed",
                        {3, 7}},
        CompactDeletion{
            "reader",
            false,
            makedb::Vincolo::Cascata,
            "Tastalo non può cancellare le liste di questo file: è in formato SQL Server Compact, che "
            "Tastalo legge soltanto. Il file non è stato modificato.\n\nCancellare le liste con il "
            "programma che scrive il file, oppure convertirlo in SQLite con \"tastalo-makedb "
            "--from-compact\" e indicare il nuovo file nelle Impostazioni.",
            {3, 7}}),
    [](const testing::TestParamInfo<CompactDeletion>& info) {
        return std::string(info.param.providerInstalled ? "Provider" : "Reader") +
               (info.param.rule == makedb::Vincolo::Cascata ? "" : "Refusing");
    });

TEST_F(CompactFileE2E, ThroughTheProviderAListAlreadyGoneIsNoFailureAndTutteEmptiesTheFile) {
    provider.emplace();
    writeFiles(makedb::Vincolo::Cascata);
    const HWND main = startToMainWindow();
    // Another program takes Alfa, the entry shown, away.
    SQLite::Database(providerFile().toStdString(), SQLite::OPEN_READWRITE)
        .exec("delete from liste where idLista=7");
    const std::vector<std::int64_t> before = providerIds();

    // Neither deletion shows a box: the second dialog would not come up,
    // nor the program close with Escape, behind one.
    deleteFrom(main, false, "deleting a list already gone");
    deleteFrom(main, true, "deleting all lists");
    tastalo.closeWith(main);
    std::printf(
        "lists in the provider's file: 2 written, %zu after another program took one, %zu after Tutte\n",
        before.size(), providerIds().size());
    EXPECT_EQ(before, (std::vector<std::int64_t>{3}));
    EXPECT_EQ(providerIds(), (std::vector<std::int64_t>{}));
}

}  // namespace
}  // namespace tastalo::prova
