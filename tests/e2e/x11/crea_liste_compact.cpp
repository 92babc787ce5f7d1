// crea_liste_compact FILE < CSV
// Writes a SQL Server Compact list database for the program's end-to-end
// test, from lines "idLista;lista;barcode" (UTF-8): the lists in the order
// they first appear, their barcodes in the order given.
#include <QString>
#include <QStringList>
#include <cstdio>
#include <iostream>
#include <string>

#include "support/compact/liste_compact.h"

int main(int argc, char** argv) {
    using namespace tastalo::prova::compact;
    if (argc != 2) {
        std::fprintf(stderr, "usage: crea_liste_compact FILE < CSV\n");
        return 2;
    }
    std::vector<ListaScritta> liste;
    std::string riga;
    while (std::getline(std::cin, riga)) {
        const QStringList campi = QString::fromStdString(riga).split(u';');
        if (campi.size() != 3) {
            std::fprintf(stderr, "crea_liste_compact: not three fields: %s\n", riga.c_str());
            return 2;
        }
        const int id = campi[0].toInt();
        if (liste.empty() || liste.back().idLista != id) liste.push_back({id, campi[1].toStdU16String(), {}});
        liste.back().barcode.push_back(campi[2].toStdU16String());
    }
    try {
        scriviFileCompact(argv[1], databaseListe(liste));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "crea_liste_compact: %s\n", e.what());
        return 1;
    }
    return 0;
}
