// What Explorer and Windows read from tastalo.exe itself: the version
// details, the manifest and the icon.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

const wchar_t* const kProgram = TASTALO_EXE_RELATIVE;

std::wstring testoVersione(const std::vector<char>& dati, const wchar_t* nome) {
    // Italian, Unicode: the only language block the resource holds.
    const std::wstring chiave = std::wstring(L"\\StringFileInfo\\041004b0\\") + nome;
    void* valore = nullptr;
    UINT lunghezza = 0;
    if (!VerQueryValueW(dati.data(), chiave.c_str(), &valore, &lunghezza) || lunghezza == 0) return {};
    return std::wstring(static_cast<const wchar_t*>(valore));
}

TEST(ProgramFile, CarriesVersionOneFourZeroEightWithItsNames) {
    const DWORD dimensione = GetFileVersionInfoSizeW(kProgram, nullptr);
    ASSERT_NE(dimensione, 0u) << "no version resource in tastalo.exe";
    std::vector<char> dati(dimensione);
    ASSERT_TRUE(GetFileVersionInfoW(kProgram, 0, dimensione, dati.data()));

    VS_FIXEDFILEINFO* fisso = nullptr;
    UINT lunghezza = 0;
    ASSERT_TRUE(VerQueryValueW(dati.data(), L"\\", reinterpret_cast<void**>(&fisso), &lunghezza));
    EXPECT_EQ(HIWORD(fisso->dwFileVersionMS), 1);
    EXPECT_EQ(LOWORD(fisso->dwFileVersionMS), 4);
    EXPECT_EQ(HIWORD(fisso->dwFileVersionLS), 0);
    EXPECT_EQ(LOWORD(fisso->dwFileVersionLS), 8);

    EXPECT_EQ(testoVersione(dati, L"FileVersion"), L"1.04.0008");
    EXPECT_EQ(testoVersione(dati, L"ProductName"), L"Tastalo");
    EXPECT_EQ(testoVersione(dati, L"FileDescription"), L"Tastalo");
}

TEST(ProgramFile, HoldsItsManifestAndIcon) {
    HMODULE programma =
        LoadLibraryExW(kProgram, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(programma, nullptr);
    HRSRC manifesto = FindResourceW(programma, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(manifesto, nullptr);
    const auto* testo = static_cast<const char*>(LockResource(LoadResource(programma, manifesto)));
    const std::string contenuto(testo, SizeofResource(programma, manifesto));
    EXPECT_NE(contenuto.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(contenuto.find("PerMonitorV2"), std::string::npos);
    EXPECT_NE(contenuto.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    // The program's own identity names the processor it was built for.
#ifdef _WIN64
    const std::string processore = "amd64";
#else
    const std::string processore = "x86";
#endif
    EXPECT_NE(
        contenuto.find("name=\"Tastalo\" version=\"1.4.0.8\" processorArchitecture=\"" + processore + "\""),
        std::string::npos);

    // The icon group with the logo at several sizes, the largest 256 pixels.
    HICON icona = static_cast<HICON>(LoadImageW(programma, L"IDI_ICON1", IMAGE_ICON, 256, 256, 0));
    ASSERT_NE(icona, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icona, &info));
    BITMAP bitmap{};
    GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 256);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icona);
    FreeLibrary(programma);
}

}  // namespace
