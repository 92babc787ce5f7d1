#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "store/compact/file_compact.h"
#include "store/compact/tipi_compact.h"
#include "store/compact/valore_compact.h"

// Writes SQL Server Compact files for the tests of the program's reader:
// the file header, the page map (a map root and map pages), the catalog heap
// (__SysObjects) and one heap per table, rows split across pages where a page
// is full, as the engine lays them out.
//
// The engine itself would refuse these files: page checksums are not
// computed (their algorithm is unknown) and there are no index B-trees,
// allocation or long-value pages. They are made only to be read back by the
// program's reader, which never checks those.
namespace tastalo::prova::compact {

namespace tipo = tastalo::compact::tipo;

// The longest ntext the engine was seen to keep inside the row is 190 bytes,
// the shortest it moved to long-value pages 302: this writer keeps it inside
// up to 256 bytes and refuses more.
inline constexpr std::size_t kNtextInlineMassimo = 256;

using tastalo::compact::kVersione35;
using tastalo::compact::kVersione35Sp2;
using tastalo::compact::kVersione40;

struct ColonnaScritta {
    std::string nome;  // UTF-8; every character must be Latin-1
    std::uint16_t tipo = tipo::kInt;
    // In bytes, as the catalog stores it (nvarchar(100) is 200); 0 takes the
    // type's own size, or 200 for nvarchar and 8000 for ntext and varbinary.
    std::uint32_t lunghezzaMassima = 0;
    bool nullabile = true;
    bool identita = false;  // an IDENTITY column: only the catalog's flags change
};

// A value by column type: integers and bit as std::int64_t, real and float as
// double, nvarchar and ntext as std::u16string, varbinary as Binario,
// datetime as DataOra, money as Denaro, uniqueidentifier as Guid; null as
// std::monostate. nvarchar is stored one byte per character when every
// character is at most U+00FF, as UTF-16 otherwise, as the engine does.
using ValoreScritto = tastalo::compact::ValoreCompact;
using RigaScritta = std::vector<ValoreScritto>;

struct TabellaScritta {
    std::string nome;  // UTF-8; every character must be Latin-1
    std::vector<ColonnaScritta> colonne;
    std::vector<RigaScritta> righe;
};

struct Opzioni {
    std::uint32_t versione = kVersione35;
    std::uint32_t lcid = 1033;
    std::uint32_t contatoreCommit = 2;
    // Adds older copies of the catalog and table pages and of the map, not
    // named by the current map and full of other rows (and another table), as
    // copy-on-write leaves them: a reader that scans physical pages is caught.
    bool copieVecchie = false;
    // Sets the header's encryption marker, pages left plain: enough for a
    // reader to refuse the file as encrypted.
    bool marcaCifratura = false;
};

// The whole file. Invalid tables (a value of the wrong kind, too long, null
// in a column that is not nullable, a name that is not Latin-1, two tables of
// one name) throw std::invalid_argument naming table, column and row.
std::vector<std::uint8_t> scriviFileCompact(const std::vector<TabellaScritta>& tabelle,
                                            const Opzioni& opzioni = {});
void scriviFileCompact(const std::filesystem::path& percorso, const std::vector<TabellaScritta>& tabelle,
                       const Opzioni& opzioni = {});

}  // namespace tastalo::prova::compact
