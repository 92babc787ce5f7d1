#pragma once

// Windows only: the stand-in OLE DB provider (oledb_sostituto/) registered
// under SQL Server Compact's ProgID for as long as this lives.

#include <QString>
#include <string>

namespace tastalo::prova {

// Registers the DLL as an installer registers a provider: the ProgID's
// CLSID, and the CLSID's in-process server; both go again at the end. Done
// by the test's own process, so the registration lands in the registry view
// of its width, the one the program under test (of the same width) reads.
// The prefix is shared with suites that read Compact files through the
// reader, so only tests that may not run beside those register it (ctest's
// RESOURCE_LOCK provider_compact, or RUN_SERIAL).
class RegistrazioneSostitutoProva {
public:
    RegistrazioneSostitutoProva();
    ~RegistrazioneSostitutoProva();
    RegistrazioneSostitutoProva(const RegistrazioneSostitutoProva&) = delete;
    RegistrazioneSostitutoProva& operator=(const RegistrazioneSostitutoProva&) = delete;

    // Takes away whatever an earlier run left behind.
    static void rimuovi();
};

// The SQLite file that the stand-in reads in place of a Compact file.
QString fileDelSostituto(const QString& fileCompact);

}  // namespace tastalo::prova
