#include "store/liste_compact.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <iterator>
#include <string>
#include <variant>

#include "store/compact/fallimento_compact.h"

namespace tastalo {

namespace compact_liste {

namespace {

template <class... Casi>
struct Visita : Casi... {
    using Casi::operator()...;
};

const compact::Tabella& tabella(const compact::FileCompact& file, const char* nome) {
    if (const compact::Tabella* t = file.tabella(nome)) return *t;
    throw compact::fallimento(compact::kTabellaAssente, std::string("il file non ha la tabella ") + nome);
}

const compact::Colonna& colonna(const compact::Tabella& tabella, const char* nome) {
    if (const compact::Colonna* c = tabella.colonna(nome)) return *c;
    throw compact::fallimento(compact::kColonnaAssente,
                              "la tabella " + tabella.nome + " non ha la colonna " + nome);
}

QString nome(const compact::Colonna& colonna) { return QString::fromStdString(colonna.nome); }

// Whether a stored list id is `id`, compared as the engine compares a column
// with a bare number: numerically, text converted first.
bool stessoId(const compact::ValoreCompact& valore, std::int32_t id) {
    return std::visit(Visita{
                          [](std::monostate) { return false; },
                          [id](std::int64_t v) { return v == id; },
                          [id](double v) { return v == static_cast<double>(id); },
                          [id](const compact::Denaro& v) {
                              return v.decimillesimi == static_cast<std::int64_t>(id) * 10000;
                          },
                          [id](const std::u16string& v) {
                              return Valore::testo(QString::fromStdU16String(v)).comeIntero32() == id;
                          },
                          [](const auto&) -> bool { throw conversione::tipoNonCorrispondente(); },
                      },
                      valore);
}

}  // namespace

Valore valore(const compact::ValoreCompact& valore) {
    return std::visit(Visita{
                          [](std::monostate) { return Valore(); },
                          [](std::int64_t v) { return Valore::intero(v); },
                          [](double v) { return Valore::reale(v); },
                          [](const std::u16string& v) { return Valore::testo(QString::fromStdU16String(v)); },
                          [](const compact::Binario& v) {
                              return Valore::binario(QByteArray(reinterpret_cast<const char*>(v.data()),
                                                                static_cast<qsizetype>(v.size())));
                          },
                          [](const compact::DataOra& v) {
                              return Valore::testo(QString::fromStdString(compact::testoDataOra(v)));
                          },
                          [](const compact::Denaro& v) {
                              return Valore::testo(QString::fromStdString(compact::testoDenaro(v)));
                          },
                          [](const compact::Guid& v) {
                              return Valore::testo(QString::fromStdString(compact::testoGuid(v)));
                          },
                      },
                      valore);
}

RecordsetCompact::Lettura liste() {
    return [](compact::FileCompact& file, RecordsetCompact::Righe& righe) {
        const compact::Tabella& liste = tabella(file, "liste");
        const std::size_t ordine = colonna(liste, "lista").posizione;
        for (const compact::Colonna& c : liste.colonne) righe.nomi.push_back(nome(c));
        std::vector<std::vector<Valore>> lette;
        file.scorriRighe(liste, [&](const compact::Riga& riga) {
            std::vector<Valore> valori;
            valori.reserve(liste.colonne.size());
            for (const compact::Colonna& c : liste.colonne) valori.push_back(valore(riga.valore(c)));
            lette.push_back(std::move(valori));
            return true;
        });
        // As the engine's default collation: letters in dictionary order
        // ("Èlite" beside "elenco", not after "z"), case ignored, accents not.
        QCollator collazione{QLocale(QLocale::English, QLocale::UnitedStates)};
        collazione.setCaseSensitivity(Qt::CaseInsensitive);
        std::stable_sort(lette.begin(), lette.end(),
                         [ordine, &collazione](const std::vector<Valore>& a, const std::vector<Valore>& b) {
                             const Valore& x = a[ordine];
                             const Valore& y = b[ordine];
                             if (x.nullo() || y.nullo()) return x.nullo() && !y.nullo();
                             return collazione.compare(x.comeTestoVisibile(), y.comeTestoVisibile()) < 0;
                         });
        for (auto& riga : lette) std::move(riga.begin(), riga.end(), std::back_inserter(righe.valori));
    };
}

RecordsetCompact::Lettura barcode(std::int32_t idLista) {
    return [idLista](compact::FileCompact& file, RecordsetCompact::Righe& righe) {
        const compact::Tabella& movimenti = tabella(file, "movimenti");
        const compact::Colonna& id = colonna(movimenti, "idLista");
        const compact::Colonna& codice = colonna(movimenti, "Barcode");
        righe.nomi.push_back(nome(codice));
        file.scorriRighe(movimenti, [&](const compact::Riga& riga) {
            if (!riga.nullo(id) && stessoId(riga.valore(id), idLista)) {
                righe.valori.push_back(valore(riga.valore(codice)));
            }
            return true;
        });
    };
}

}  // namespace compact_liste

}  // namespace tastalo
