// libFuzzer target for the SQL Server Compact reader: whatever the bytes,
// the reader either reads them or fails with a Fallimento; never a crash, a
// hang, a leak or undefined behaviour.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <variant>

#include "core/fallimento.h"
#include "store/compact/file_compact.h"

namespace {

using namespace tastalo::compact;

// The reader opens files by path: the input goes to a file in memory,
// reached through /proc, so no run touches the disk.
struct FileInMemoria {
    int descrittore = memfd_create("compact", 0);
    std::string percorso = "/proc/self/fd/" + std::to_string(descrittore);
};

const FileInMemoria& scrivi(const std::uint8_t* dati, std::size_t quanti) {
    static const FileInMemoria file;
    if (file.descrittore < 0 || ftruncate(file.descrittore, 0) != 0) std::abort();
    for (std::size_t scritti = 0; scritti < quanti;) {
        const ssize_t n =
            pwrite(file.descrittore, dati + scritti, quanti - scritti, static_cast<off_t>(scritti));
        if (n <= 0) std::abort();
        scritti += static_cast<std::size_t>(n);
    }
    return file;
}

// Turns a value into text as the program would, to run the formatting too.
std::size_t usa(const ValoreCompact& valore) {
    if (const auto* d = std::get_if<DataOra>(&valore)) return testoDataOra(*d).size();
    if (const auto* m = std::get_if<Denaro>(&valore)) return testoDenaro(*m).size();
    if (const auto* g = std::get_if<Guid>(&valore)) return testoGuid(*g).size();
    return valore.index();
}

void leggiTutto(FileCompact& file) {
    (void)file.versione();
    (void)file.lcid();
    for (const Tabella& tabella : file.tabelle()) {
        if (file.tabella(tabella.nome) == nullptr) std::abort();
        for (const Colonna& c : tabella.colonne) {
            if (tabella.colonna(c.nome) == nullptr) std::abort();
        }
        try {
            file.scorriRighe(tabella, [&](const Riga& riga) {
                // A column that fails does not stop the others.
                for (const Colonna& c : tabella.colonne) {
                    try {
                        (void)riga.nullo(c);
                        (void)usa(riga.valore(c));
                    } catch (const tastalo::Fallimento&) {
                    }
                }
                return true;
            });
        } catch (const tastalo::Fallimento&) {
        }
    }
    (void)file.invariato();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t quanti) {
    (void)sembraCompact(dati, quanti);
    const FileInMemoria& input = scrivi(dati, quanti);
    try {
        FileCompact file(input.percorso);
        leggiTutto(file);
    } catch (const tastalo::Fallimento&) {
    }
    return 0;
}
