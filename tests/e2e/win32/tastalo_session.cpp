#include "tastalo_session.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringList>
#include <stdexcept>

#include "desktop_input.h"
#include "target_process.h"

namespace tastalo::prova {
namespace {

constexpr DWORD kWindowTimeoutMs = 20000;
// A send of 2,000 barcodes at Delay 20 ends well within it.
constexpr DWORD kMessageTimeoutMs = 180000;
constexpr DWORD kClipboardTimeoutMs = 5000;
constexpr DWORD kExitTimeoutMs = 10000;
const std::wstring kMessageTitle = L"Tastalo";

[[noreturn]] void fail(const std::string& step, const std::string& what) {
    throw std::runtime_error(step + ": " + what);
}

// The text part of what QMessageBox copies: title, text and buttons, each
// between lines of dashes.
std::wstring messageText(std::wstring copied) {
    for (std::size_t at; (at = copied.find(L"\r\n")) != std::wstring::npos;) copied.erase(at, 1);
    const std::wstring separator = L"---------------------------\n";
    std::vector<std::wstring> parts;
    for (std::size_t begin = 0;;) {
        const std::size_t end = copied.find(separator, begin);
        parts.push_back(copied.substr(begin, end == std::wstring::npos ? end : end - begin));
        if (end == std::wstring::npos) break;
        begin = end + separator.size();
    }
    if (parts.size() < 4 || parts[1] != kMessageTitle + L"\n") return L"<not a message box: " + copied + L">";
    return parts[2].substr(0, parts[2].size() - 1);
}

}  // namespace

TastaloSession::TastaloSession() {
    if (!CopyFileW(TASTALO_EXE_RELATIVE, path(QStringLiteral("tastalo.exe")).c_str(), TRUE)) {
        fail("program folder", "cannot copy tastalo.exe (error " + std::to_string(GetLastError()) + ")");
    }
}

TastaloSession::~TastaloSession() {
    if (m_process.hProcess == nullptr) return;
    if (WaitForSingleObject(m_process.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(m_process.hProcess, 1);
        WaitForSingleObject(m_process.hProcess, kExitTimeoutMs);
    }
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
}

std::wstring TastaloSession::path(const QString& name) const {
    return QDir::toNativeSeparators(m_folder.file(name)).toStdWString();
}

void TastaloSession::writeSettings(const std::wstring& database, const std::wstring& title,
                                   const std::wstring& delay) const {
    const QString text = QStringLiteral("[DATI]\r\nDataBase=%1\r\nFinestraPGM=%2\r\nDelay=%3\r\n")
                             .arg(QString::fromStdWString(database), QString::fromStdWString(title),
                                  QString::fromStdWString(delay));
    m_folder.write(QStringLiteral("spooling.ini"), text.toUtf8());
}

std::map<std::string, std::string> TastaloSession::settings() const {
    std::map<std::string, std::string> keys;
    bool inDati = false;
    const QStringList lines = QString::fromUtf8(m_folder.read(QStringLiteral("spooling.ini")))
                                  .split(QRegularExpression(QStringLiteral("\r?\n")));
    for (const QString& line : lines) {
        if (line.startsWith(u'[')) {
            inDati = line.trimmed() == QStringLiteral("[DATI]");
        } else if (const qsizetype equals = line.indexOf(u'='); inDati && equals > 0) {
            keys[line.left(equals).trimmed().toStdString()] = line.mid(equals + 1).trimmed().toStdString();
        }
    }
    return keys;
}

void TastaloSession::writeDatabase(const QString& name, const std::vector<makedb::Lista>& lists) const {
    makedb::scriviDatabase(m_folder.file(name), lists, makedb::Vincolo::Cascata, false);
}

std::vector<QString> TastaloSession::files() const {
    const QStringList names = QDir(m_folder.path()).entryList(QDir::Files, QDir::Name);
    return {names.begin(), names.end()};
}

double TastaloSession::start() {
    const std::wstring program = path(QStringLiteral("tastalo.exe"));
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    LARGE_INTEGER frequency, begin, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    // The working folder stays the test's: the program finds its files by
    // its own location. Wine now and then refuses a start at once.
    bool started = false;
    for (int attempt = 0; attempt < 5 && !started; ++attempt) {
        if (attempt > 0) Sleep(200);
        started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &m_process) != FALSE;
    }
    if (!started) fail("start", "CreateProcessW failed with " + std::to_string(GetLastError()));
    // The splash screen is the one window without a title bar.
    m_splash =
        waitForWindow([](HWND window) { return !hasCaption(window); }, kWindowTimeoutMs, "splash screen");
    QueryPerformanceCounter(&end);
    return 1000.0 * static_cast<double>(end.QuadPart - begin.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

void TastaloSession::closeSplash() {
    keysTo(
        m_splash, [] { pressKey(VK_SPACE); }, "key on the splash screen");
}

HWND TastaloSession::window(const std::wstring& title, const std::string& step) {
    return waitForWindow([&](HWND window) { return titleOf(window) == title && hasCaption(window); },
                         kWindowTimeoutMs, step);
}

std::wstring TastaloSession::message(const std::string& step, const std::function<void()>& onShown) {
    const HWND box =
        waitForWindow([](HWND window) { return titleOf(window) == kMessageTitle && hasCaption(window); },
                      kMessageTimeoutMs, step + ": message box");
    if (onShown) onShown();
    emptyClipboard();
    keysTo(
        box, [] { pressKey('C', {VK_CONTROL}); }, step + ": copying the message");
    std::optional<std::wstring> copied;
    if (!waitUntil([&] { return (copied = clipboardText()).has_value(); }, kClipboardTimeoutMs)) {
        fail(step, "the message box copied nothing to the clipboard");
    }
    keysTo(
        box, [] { pressKey(VK_RETURN); }, step + ": dismissing the message");
    waitGone(box, step + ": dismissing the message");
    return messageText(*copied);
}

void TastaloSession::keysTo(HWND window, const std::function<void()>& keys, const std::string& step) {
    if (!bringToFrontSettled(window)) {
        fail(step, "the window \"" + utf8(titleOf(window)) + "\" did not come to the front");
    }
    keys();
}

void TastaloSession::waitGone(HWND window, const std::string& step) {
    if (!waitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, kWindowTimeoutMs)) {
        fail(step, "the window \"" + utf8(titleOf(window)) + "\" stayed open");
    }
}

void TastaloSession::closeWith(HWND mainWindow) {
    keysTo(
        mainWindow, [] { pressKey(VK_ESCAPE); }, "closing with Escape");
    if (WaitForSingleObject(m_process.hProcess, kExitTimeoutMs) != WAIT_OBJECT_0) {
        fail("closing with Escape", "the program did not end");
    }
    DWORD status = 0;
    GetExitCodeProcess(m_process.hProcess, &status);
    if (status != 0) fail("closing with Escape", "the program ended with status " + std::to_string(status));
}

HWND TastaloSession::waitForWindow(const std::function<bool(HWND)>& wanted, DWORD timeoutMs,
                                   const std::string& step) {
    HWND found = nullptr;
    bool ended = false;
    waitUntil(
        [&] {
            for (HWND window : visibleWindowsOf(m_process.dwProcessId)) {
                if (wanted(window)) {
                    found = window;
                    return true;
                }
            }
            ended = WaitForSingleObject(m_process.hProcess, 0) == WAIT_OBJECT_0;
            return ended;
        },
        timeoutMs);
    if (found != nullptr) return found;
    std::string shown;
    for (HWND window : visibleWindowsOf(m_process.dwProcessId)) shown += " \"" + utf8(titleOf(window)) + "\"";
    fail(step, ended ? std::string("the program ended")
                     : "no such window within " + std::to_string(timeoutMs / 1000) +
                           " s; windows shown:" + (shown.empty() ? " none" : shown));
}

}  // namespace tastalo::prova
