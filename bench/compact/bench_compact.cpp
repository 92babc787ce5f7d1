// Reads every row and every column of every table of each SQL Server Compact
// sample with the program's reader, and the same rows from the sample
// converted to SQLite with SQLite, in one run; the ratio of the medians.
// Target: the reader takes no longer than SQLite (ratio <= 1).
#include <SQLiteCpp/SQLiteCpp.h>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "converti_compact.h"
#include "riepilogo_mediane.h"
#include "store/compact/file_compact.h"

namespace {

using namespace tastalo;

struct Campione {
    std::string nome;
    std::filesystem::path compact;
    std::string sqlite;
    std::size_t righe = 0;
    std::size_t tabelle = 0;
};

// What a reader hands on: the size of every value, so none is skipped.
std::size_t misura(const compact::ValoreCompact& v) {
    return std::visit(
        [](const auto& x) -> std::size_t {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, std::u16string> || std::is_same_v<T, compact::Binario>) {
                return x.size() + 1;
            } else {
                return sizeof(x);
            }
        },
        v);
}

std::size_t leggiNativo(const Campione& c, std::size_t& righe) {
    compact::FileCompact file(c.compact);
    std::size_t byte = 0;
    for (const compact::Tabella& t : file.tabelle()) {
        file.scorriRighe(t, [&](const compact::Riga& riga) {
            for (const compact::Colonna& col : t.colonne) byte += misura(riga.valore(col));
            ++righe;
            return true;
        });
    }
    return byte;
}

std::size_t leggiSqlite(const Campione& c, std::size_t& righe) {
    SQLite::Database db(c.sqlite, SQLite::OPEN_READONLY);
    std::vector<std::string> tabelle;
    {
        SQLite::Statement nomi(db, "select name from sqlite_master where type = 'table' order by rowid");
        while (nomi.executeStep()) tabelle.push_back(nomi.getColumn(0).getString());
    }
    std::size_t byte = 0;
    for (const std::string& t : tabelle) {
        std::string nome;
        for (const char c : t) nome += c == '"' ? std::string("\"\"") : std::string(1, c);
        const std::string testo = "select * from \"" + nome + "\"";
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db.getHandle(), testo.c_str(), -1, &s, nullptr) != SQLITE_OK) return 0;
        while (sqlite3_step(s) == SQLITE_ROW) {
            for (int i = 0; i < sqlite3_column_count(s); ++i) {
                switch (sqlite3_column_type(s, i)) {
                    case SQLITE_TEXT:
                        sqlite3_column_text(s, i);
                        byte += static_cast<std::size_t>(sqlite3_column_bytes(s, i)) + 1;
                        break;
                    case SQLITE_BLOB:
                        sqlite3_column_blob(s, i);
                        byte += static_cast<std::size_t>(sqlite3_column_bytes(s, i)) + 1;
                        break;
                    case SQLITE_INTEGER: byte += sizeof(sqlite3_column_int64(s, i)); break;
                    case SQLITE_FLOAT: byte += sizeof(sqlite3_column_double(s, i)); break;
                    default: byte += 1; break;
                }
            }
            ++righe;
        }
        sqlite3_finalize(s);
    }
    return byte;
}

template <std::size_t (*Lettura)(const Campione&, std::size_t&)>
void misuraLettura(benchmark::State& stato, const Campione* c) {
    for (auto _ : stato) {
        std::size_t righe = 0;
        benchmark::DoNotOptimize(Lettura(*c, righe));
        if (righe != c->righe) stato.SkipWithError("wrong number of rows");
    }
}

}  // namespace

int main(int argc, char** argv) {
    bool prova = false;
    std::filesystem::path cartella = TASTALO_CAMPIONI_COMPACT;
    std::vector<char*> argomenti{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--smoke") == 0) {
            prova = true;
        } else if (argv[i][0] != '-') {
            cartella = argv[i];
        } else {
            argomenti.push_back(argv[i]);
        }
    }
    int conteggio = static_cast<int>(argomenti.size());
    QCoreApplication app(conteggio, argomenti.data());
    if (!std::filesystem::is_directory(cartella)) {
        std::printf("no sample folder at %s: nothing to measure\n", cartella.string().c_str());
        return 77;
    }
    QTemporaryDir temporanea;
    std::vector<Campione> campioni;
    for (const char* nome :
         {"Northwind.sdf", "code-index-3.5sp2.sdf", "empty-3.5.sdf", "schema-only-4.0.sdf"}) {
        Campione c{nome, cartella / nome, QDir(temporanea.path()).filePath(nome).toStdString() + ".sqlite"};
        if (!std::filesystem::exists(c.compact)) continue;
        const auto conversione = makedb::convertiCompact(QString::fromStdString(c.compact.string()),
                                                         QString::fromStdString(c.sqlite));
        c.righe = conversione.righe;
        c.tabelle = conversione.tabelle;
        campioni.push_back(std::move(c));
    }

    if (prova) {
        // A check that the benchmark still works: both readers see every row.
        for (const Campione& c : campioni) {
            std::size_t nativo = 0;
            std::size_t sqlite = 0;
            leggiNativo(c, nativo);
            leggiSqlite(c, sqlite);
            std::printf("%s: %zu rows native, %zu SQLite, %zu converted\n", c.nome.c_str(), nativo, sqlite,
                        c.righe);
            if (nativo != c.righe || sqlite != c.righe) return 1;
        }
        return 0;
    }
    const int ripetizioni = 7;
    for (const Campione& c : campioni) {
        for (auto* b :
             {benchmark::RegisterBenchmark(("Nativo/" + c.nome).c_str(), misuraLettura<leggiNativo>, &c),
              benchmark::RegisterBenchmark(("SQLite/" + c.nome).c_str(), misuraLettura<leggiSqlite>, &c)}) {
            b->Unit(benchmark::kMicrosecond)
                ->UseRealTime()
                ->Repetitions(ripetizioni)
                ->ReportAggregatesOnly(true);
        }
    }
    benchmark::Initialize(&conteggio, argomenti.data());
    tastalo::bench::RiepilogoMediane riepilogo;  // microseconds
    benchmark::RunSpecifiedBenchmarks(&riepilogo);

    bool riuscito = true;
    std::printf("\nEvery table read, medians of %d runs (native / SQLite on the converted file)\n",
                ripetizioni);
    for (const Campione& c : campioni) {
        const double nativo = riepilogo.mediane["Nativo/" + c.nome];
        const double sqlite = riepilogo.mediane["SQLite/" + c.nome];
        const double rapporto = sqlite > 0 ? nativo / sqlite : 0;
        std::printf("  %-24s %2zu tables %6zu rows  native %9.1f us  SQLite %9.1f us  ratio %.2f\n",
                    c.nome.c_str(), c.tabelle, c.righe, nativo, sqlite, rapporto);
        if (rapporto > 1.0) riuscito = false;
    }
    std::printf("  %s\n", riuscito ? "target met (ratio <= 1)" : "TARGET MISSED (ratio > 1)");
    return riuscito ? 0 : 1;
}
