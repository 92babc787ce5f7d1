#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "store/compact/valore_compact.h"

// A read-only reader of SQL Server Compact 3.5 and 4.0 database files. Plain
// C++: no Qt, no engine. It never writes and never locks the file against the
// program that writes it. Every structure it walks is checked; a mismatch is a
// Fallimento (OrigineFallimento::FileCompact, codes in fallimento_compact.h)
// naming what and where, never a crash, a hang or an allocation larger than
// the file.
namespace tastalo::compact {

// The engine versions at offset 16 of the file header.
inline constexpr std::uint32_t kVersione35 = 0x00357B9D;
inline constexpr std::uint32_t kVersione35Sp2 = 0x00357DD9;
inline constexpr std::uint32_t kVersione40 = 0x003D0900;

struct Colonna {
    std::string nome;
    std::uint16_t posizione = 0;  // 0-based, the order of the table's columns
    std::uint16_t tipo = 0;       // the type code as stored (0x03 int, 0x08 nvarchar...)
    std::uint32_t lunghezzaMassima = 0;
    // How the row stores it: at a byte offset of the fixed area, or as the
    // n-th variable column, or as a bit.
    bool variabile = false;
    std::uint16_t offsetOIndice = 0;
};

struct Tabella {
    std::string nome;
    std::uint32_t idOggetto = 0;   // the owner id its heap pages carry
    std::vector<Colonna> colonne;  // by position
    // By name without regard to case (ASCII and Latin-1); nullptr when absent.
    const Colonna* colonna(std::string_view nome) const;
};

// One row, assembled from its fragments. Valid only inside the visit that
// hands it over.
class Riga {
public:
    virtual ~Riga() = default;
    virtual bool nullo(const Colonna& colonna) const = 0;
    // Decodes one column. A type the reader cannot decode fails with
    // kTipoNonDecodificabile naming the table, the column and the type code.
    virtual ValoreCompact valore(const Colonna& colonna) const = 0;
};

// True when the first page looks like a SQL Server Compact file (of any
// engine version): the program chooses the reader by content, not by name.
// `inizio` is the file's first bytes (at least 4096 for a yes).
bool sembraCompact(const std::uint8_t* inizio, std::size_t dimensione);

class FileCompact {
public:
    // Opens read-only, sharing reads and writes with other programs, checks
    // the header (encryption, version, size) and reads the catalog.
    explicit FileCompact(const std::filesystem::path& percorso);
    ~FileCompact();
    FileCompact(const FileCompact&) = delete;
    FileCompact& operator=(const FileCompact&) = delete;

    std::uint32_t versione() const;
    std::uint32_t lcid() const;
    const std::vector<Tabella>& tabelle() const;
    // By name without regard to case; nullptr when absent.
    const Tabella* tabella(std::string_view nome) const;

    // Visits the rows of a table in the table's own order (its pages in
    // logical order, then slot order) until `visita` returns false. Pages are
    // read as they are needed: memory does not grow with the file.
    void scorriRighe(const Tabella& tabella, const std::function<bool(const Riga&)>& visita);

    // False once the header says the file was written after it was opened
    // (its commit counter or its map root moved).
    bool invariato();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// Runs `lettura` on the file freshly opened; when the file was written
// meanwhile, opens it and runs it once more; a second change fails with
// kFileCambiato. The caller gets rows of one state of the file only:
// `lettura` must start from scratch each time (clear what it gathered).
// Returns the file the rows came from, still open: its invariato() tells
// whether they are still the file's.
std::unique_ptr<FileCompact> leggiCoerente(const std::filesystem::path& percorso,
                                           const std::function<void(FileCompact&)>& lettura);

}  // namespace tastalo::compact
