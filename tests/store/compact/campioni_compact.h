#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "store/compact/file_compact.h"

namespace tastalo::prova {

// The public sample files, read where they lie.
inline std::filesystem::path campioneCompact(const std::string& nome) {
    return std::filesystem::path(TASTALO_CAMPIONI_SQLCE) / nome;
}

class CampioniCompact : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(campioneCompact("Northwind.sdf"))) {
            GTEST_SKIP() << "the SQL Server Compact samples are not in " << TASTALO_CAMPIONI_SQLCE;
        }
    }
};

inline std::vector<std::uint8_t> byteDi(const std::filesystem::path& percorso) {
    std::ifstream file(percorso, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline void scrivi(const std::filesystem::path& percorso, const std::vector<std::uint8_t>& byte) {
    std::ofstream file(percorso, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(byte.data()), static_cast<std::streamsize>(byte.size()));
}

// Every value of every row of every table, decoded; the row count of each.
inline std::map<std::string, std::size_t> leggiTutto(compact::FileCompact& file) {
    std::map<std::string, std::size_t> righe;
    for (const compact::Tabella& tabella : file.tabelle()) {
        std::size_t& quante = righe[tabella.nome];
        file.scorriRighe(tabella, [&](const compact::Riga& riga) {
            for (const compact::Colonna& colonna : tabella.colonne) (void)riga.valore(colonna);
            ++quante;
            return true;
        });
    }
    return righe;
}

// The named columns of every row of a table.
inline std::vector<std::vector<compact::ValoreCompact>> righeDi(compact::FileCompact& file,
                                                                const std::string& nome,
                                                                const std::vector<std::string>& colonne) {
    const compact::Tabella* tabella = file.tabella(nome);
    EXPECT_NE(tabella, nullptr) << nome;
    std::vector<std::vector<compact::ValoreCompact>> righe;
    if (tabella == nullptr) return righe;
    std::vector<const compact::Colonna*> scelte;
    for (const std::string& colonna : colonne) {
        scelte.push_back(tabella->colonna(colonna));
        EXPECT_NE(scelte.back(), nullptr) << nome << "." << colonna;
        if (scelte.back() == nullptr) return righe;
    }
    file.scorriRighe(*tabella, [&](const compact::Riga& riga) {
        righe.emplace_back();
        for (const compact::Colonna* colonna : scelte) righe.back().push_back(riga.valore(*colonna));
        return true;
    });
    return righe;
}

}  // namespace tastalo::prova
