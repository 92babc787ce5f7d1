#include "support/registrazione_sostituto.h"

#include <windows.h>

#include <stdexcept>

#include "support/oledb_sostituto/sostituto_oledb.h"

namespace tastalo::prova {

namespace {

const std::wstring kChiaveClsid = std::wstring(L"CLSID\\") + sostituto::kClsidTesto;

void scrivi(const std::wstring& chiave, const wchar_t* nome, const std::wstring& valore) {
    const LSTATUS esito = RegSetKeyValueW(HKEY_CLASSES_ROOT, chiave.c_str(), nome, REG_SZ, valore.c_str(),
                                          static_cast<DWORD>((valore.size() + 1) * sizeof(wchar_t)));
    if (esito != ERROR_SUCCESS) {
        throw std::runtime_error("could not register the stand-in provider (" + std::to_string(esito) + ")");
    }
}

// The DLL is built beside the test programs; its path from the folder of
// the running program is compiled in.
std::wstring percorsoDll() {
    wchar_t programma[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, programma, MAX_PATH);
    std::wstring cartella(programma, n);
    cartella.erase(cartella.find_last_of(L"\\/") + 1);
    const std::wstring relativo = cartella + TASTALO_SOSTITUTO_DLL;
    wchar_t completo[MAX_PATH];
    const DWORD m = GetFullPathNameW(relativo.c_str(), MAX_PATH, completo, nullptr);
    if (m == 0 || m >= MAX_PATH || GetFileAttributesW(completo) == INVALID_FILE_ATTRIBUTES) {
        throw std::runtime_error("the stand-in provider's DLL is missing");
    }
    return completo;
}

}  // namespace

RegistrazioneSostitutoProva::RegistrazioneSostitutoProva() {
    rimuovi();
    scrivi(std::wstring(sostituto::kProgId) + L"\\CLSID", nullptr, sostituto::kClsidTesto);
    scrivi(kChiaveClsid, nullptr, sostituto::kProgId);
    scrivi(kChiaveClsid + L"\\InprocServer32", nullptr, percorsoDll());
    scrivi(kChiaveClsid + L"\\InprocServer32", L"ThreadingModel", L"Both");
}

RegistrazioneSostitutoProva::~RegistrazioneSostitutoProva() { rimuovi(); }

void RegistrazioneSostitutoProva::rimuovi() {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, sostituto::kProgId);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kChiaveClsid.c_str());
    RegDeleteKeyW(HKEY_CLASSES_ROOT, sostituto::kProgId);
    RegDeleteKeyW(HKEY_CLASSES_ROOT, kChiaveClsid.c_str());
}

QString fileDelSostituto(const QString& fileCompact) {
    return fileCompact + QString::fromWCharArray(sostituto::kSuffissoSqlite);
}

}  // namespace tastalo::prova
