#include "store/compact/file_compact.h"

#include <algorithm>
#include <array>
#include <optional>

#include "store/compact/accesso_file.h"
#include "store/compact/catalogo_compact.h"
#include "store/compact/fallimento_compact.h"
#include "store/compact/formato_compact.h"
#include "store/compact/pagine_compact.h"
#include "store/compact/record_compact.h"
#include "store/compact/riga_compact.h"
#include "store/compact/testo_compact.h"

namespace tastalo::compact {

namespace {

// The part of the first page the reader looks at.
constexpr std::size_t kTestataFile = 0x60;

bool versioneNota(std::uint32_t versione) {
    return versione == kVersione35 || versione == kVersione35Sp2 || versione == kVersione40;
}

struct Stato {
    std::uint32_t commit = 0;
    std::uint32_t radice = 0;
    bool operator==(const Stato&) const = default;
};

Stato statoDa(const std::uint8_t* testata) {
    return {u32(testata + kOffsetCommit), u32(testata + kOffsetRadice)};
}

std::optional<Stato> rileggiStato(const FileSolaLettura& file) {
    std::array<std::uint8_t, kTestataFile> testata{};
    try {
        if (file.leggi(0, testata.data(), testata.size()) != testata.size()) return std::nullopt;
    } catch (const Fallimento&) {
        return std::nullopt;
    }
    return statoDa(testata.data());
}

bool dovutoAllaStruttura(const Fallimento& errore) {
    return errore.origine() == OrigineFallimento::FileCompact &&
           (errore.codice() == kFileDanneggiato || errore.codice() == kFileTroncato);
}

Fallimento cambiato() {
    return fallimento(kFileCambiato, "il file è stato scritto mentre Tastalo lo leggeva: riprovare");
}

}  // namespace

bool sembraCompact(const std::uint8_t* inizio, std::size_t dimensione) {
    // The first page describes itself as page 0 of type 0, has the fixed
    // words 0 at 0x0C and 1 at 0x14, an engine version (whatever its number)
    // and a map root past itself.
    if (inizio == nullptr || dimensione < kDimensionePagina) return false;
    const std::uint32_t versione = u32(inizio + kOffsetVersione);
    const std::uint32_t radice = u32(inizio + kOffsetRadice);
    return u32(inizio + 4) == 0 && u32(inizio + 0x0C) == 0 && u32(inizio + 0x14) == 1 && versione != 0 &&
           (versione >> 24) == 0 && radice != 0 && radice <= 0xFFFFF;
}

const Colonna* Tabella::colonna(std::string_view cercata) const {
    for (const Colonna& c : colonne) {
        if (ugualiSenzaMaiuscole(c.nome, cercata)) return &c;
    }
    return nullptr;
}

struct FileCompact::Impl {
    explicit Impl(const std::filesystem::path& percorso) : file(percorso) {
        std::array<std::uint8_t, kDimensionePagina> prima{};
        const std::size_t letti = file.leggi(0, prima.data(), prima.size());
        if (letti < kDimensionePagina) {
            throw fallimento(kFileTroncato, "file troncato: " + std::to_string(file.dimensione()) +
                                                " byte, meno di una pagina (" +
                                                std::to_string(kDimensionePagina) + ")");
        }
        if (!sembraCompact(prima.data(), letti)) {
            throw fallimento(
                kFileDanneggiato,
                "file danneggiato: l'intestazione non è quella di un database SQL Server Compact");
        }
        if (std::any_of(prima.begin() + kInizioCifratura, prima.begin() + kFineCifratura,
                        [](std::uint8_t b) { return b != 0; })) {
            throw fallimento(kFileCifrato, "il file è cifrato: Tastalo non può leggerlo");
        }
        versione = u32(prima.data() + kOffsetVersione);
        if (!versioneNota(versione)) {
            throw fallimento(kVersioneSconosciuta,
                             "versione del motore sconosciuta: " + esadecimale(versione, 8));
        }
        if (file.dimensione() % kDimensionePagina != 0) {
            throw fallimento(kFileTroncato, "file troncato: " + std::to_string(file.dimensione()) +
                                                " byte non sono un numero intero di pagine da " +
                                                std::to_string(kDimensionePagina));
        }
        lcid = u32(prima.data() + kOffsetLcid);
        stato = statoDa(prima.data());
        try {
            pagine.emplace(file, stato.radice);
            catalogo = leggiCatalogo(*pagine);
        } catch (const Fallimento& errore) {
            // A writer committing while the map and the catalog were read
            // leaves them half old, half new: that is a change, not damage.
            if (dovutoAllaStruttura(errore) && rileggiStato(file) != stato) throw cambiato();
            throw;
        }
    }

    FileSolaLettura file;
    std::uint32_t versione = 0;
    std::uint32_t lcid = 0;
    Stato stato;
    std::optional<PagineCompact> pagine;
    Catalogo catalogo;
};

FileCompact::FileCompact(const std::filesystem::path& percorso) : m_impl(std::make_unique<Impl>(percorso)) {}

FileCompact::~FileCompact() = default;

std::uint32_t FileCompact::versione() const { return m_impl->versione; }

std::uint32_t FileCompact::lcid() const { return m_impl->lcid; }

const std::vector<Tabella>& FileCompact::tabelle() const { return m_impl->catalogo.tabelle; }

const Tabella* FileCompact::tabella(std::string_view nome) const {
    for (const Tabella& t : m_impl->catalogo.tabelle) {
        if (ugualiSenzaMaiuscole(t.nome, nome)) return &t;
    }
    return nullptr;
}

void FileCompact::scorriRighe(const Tabella& tabella, const std::function<bool(const Riga&)>& visita) {
    const std::vector<Tabella>& tabelle = m_impl->catalogo.tabelle;
    const auto trovata = std::find_if(tabelle.begin(), tabelle.end(), [&](const Tabella& t) {
        return t.idOggetto == tabella.idOggetto && t.nome == tabella.nome;
    });
    if (trovata == tabelle.end()) {
        throw fallimento(kTabellaAssente, "la tabella " + tabella.nome + " non è nel file");
    }
    const auto indice = static_cast<std::size_t>(trovata - tabelle.begin());
    try {
        LettoreRecord record(*m_impl->pagine, trovata->idOggetto, "tabella " + trovata->nome);
        RigaCompact riga(*m_impl->pagine, *trovata, m_impl->catalogo.disposizioni[indice]);
        while (record.prossimo()) {
            riga.imposta(record.dati(), record.lunghezza(), record.pagina(), record.slot());
            if (!visita(riga)) break;
        }
    } catch (const Fallimento& errore) {
        if (dovutoAllaStruttura(errore) && !invariato()) throw cambiato();
        throw;
    }
}

bool FileCompact::invariato() { return rileggiStato(m_impl->file) == m_impl->stato; }

std::unique_ptr<FileCompact> leggiCoerente(const std::filesystem::path& percorso,
                                           const std::function<void(FileCompact&)>& lettura) {
    for (int tentativo = 0; tentativo < 2; ++tentativo) {
        try {
            auto file = std::make_unique<FileCompact>(percorso);
            lettura(*file);
            if (file->invariato()) return file;
        } catch (const Fallimento& errore) {
            if (errore.origine() != OrigineFallimento::FileCompact || errore.codice() != kFileCambiato) throw;
        }
    }
    throw cambiato();
}

}  // namespace tastalo::compact
