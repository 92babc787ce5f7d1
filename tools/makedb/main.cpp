// tastalo-makedb: makes list databases for trying and testing Tastalo.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <optional>

#include "converti_compact.h"
#include "core/fallimento.h"
#include "core/leggi_file.h"
#include "csv_liste.h"
#include "database_liste.h"
#include "liste_esempio.h"

namespace {

using namespace tastalo::makedb;

int usoErrato(const QString& messaggio) {
    std::fprintf(stderr, "tastalo-makedb: %s\nTry --help.\n", qPrintable(messaggio));
    return 2;
}

std::optional<int> numero(const QCommandLineParser& parser, const QString& opzione) {
    bool ok = false;
    const int n = parser.value(opzione).toInt(&ok);
    if (!ok || n < 0) return std::nullopt;
    return n;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tastalo-makedb"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Makes a list database (tables liste and movimenti) for Tastalo.\n"
                       "The lists come from --demo, --csv or --lists/--barcodes; with none\n"
                       "of them the tables are empty. --from-compact copies instead every\n"
                       "table of a SQL Server Compact file. An existing FILE is kept unless\n"
                       "--force is given.\n\n") +
        QString::fromUtf8(kFormatoCsv));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The database file to make."));
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("A handful of sample lists, one of them empty."));
    const QCommandLineOption csv(QStringLiteral("csv"), QStringLiteral("Lists from a CSV file."),
                                 QStringLiteral("csv-file"));
    const QCommandLineOption liste(QStringLiteral("lists"),
                                   QStringLiteral("Generate N lists with ids 1 to N."), QStringLiteral("N"));
    const QCommandLineOption barcode(QStringLiteral("barcodes"),
                                     QStringLiteral("Barcodes per generated list (default 10)."),
                                     QStringLiteral("M"), QStringLiteral("10"));
    const QCommandLineOption senzaCascata(
        QStringLiteral("no-cascade"),
        QStringLiteral("movimenti without a reference to liste: barcodes of a deleted list stay."));
    const QCommandLineOption soloRiferimento(
        QStringLiteral("restrict"),
        QStringLiteral("movimenti references liste without cascade: a list with barcodes cannot be "
                       "deleted."));
    const QCommandLineOption daCompact(
        QStringLiteral("from-compact"),
        QStringLiteral("Copy every table of a SQL Server Compact file, rows in its order."),
        QStringLiteral("compact-file"));
    const QCommandLineOption forza(QStringLiteral("force"), QStringLiteral("Replace an existing FILE."));
    parser.addOptions({demo, csv, liste, barcode, senzaCascata, soloRiferimento, daCompact, forza});
    parser.process(app);

    const QStringList posizionali = parser.positionalArguments();
    if (posizionali.size() != 1) return usoErrato(QStringLiteral("give exactly one database FILE."));
    const QString percorso = posizionali.front();
    const int sorgenti = int(parser.isSet(demo)) + int(parser.isSet(csv)) + int(parser.isSet(liste)) +
                         int(parser.isSet(daCompact));
    if (sorgenti > 1) {
        return usoErrato(QStringLiteral("use only one of --demo, --csv, --lists and --from-compact."));
    }
    if (parser.isSet(daCompact) && (parser.isSet(senzaCascata) || parser.isSet(soloRiferimento))) {
        return usoErrato(
            QStringLiteral("--from-compact copies the tables as they are: no --no-cascade or "
                           "--restrict."));
    }
    if (parser.isSet(senzaCascata) && parser.isSet(soloRiferimento)) {
        return usoErrato(QStringLiteral("use only one of --no-cascade and --restrict."));
    }
    const Vincolo vincolo = parser.isSet(senzaCascata)      ? Vincolo::Nessuno
                            : parser.isSet(soloRiferimento) ? Vincolo::SoloRiferimento
                                                            : Vincolo::Cascata;
    try {
        if (parser.isSet(daCompact)) {
            const Conversione fatta = convertiCompact(parser.value(daCompact), percorso, parser.isSet(forza));
            std::printf("%s: %zu tables, %zu rows\n", qPrintable(percorso), fatta.tabelle, fatta.righe);
            return 0;
        }
        std::vector<Lista> contenuto;
        if (parser.isSet(demo)) {
            contenuto = listeDemo();
        } else if (parser.isSet(csv)) {
            const QString file = parser.value(csv);
            const std::optional<QByteArray> testo =
                tastalo::leggiFile(file, tastalo::OrigineFallimento::Programma, QStringLiteral("il file"));
            if (!testo) {
                std::fprintf(stderr, "tastalo-makedb: %s does not exist\n", qPrintable(file));
                return 1;
            }
            contenuto = leggiCsv(*testo);
        } else if (parser.isSet(liste)) {
            const auto n = numero(parser, liste.names().front());
            const auto m = numero(parser, barcode.names().front());
            if (!n || !m) {
                return usoErrato(QStringLiteral("--lists and --barcodes take whole numbers from 0."));
            }
            contenuto = listeGenerate(*n, *m);
        }
        scriviDatabase(percorso, contenuto, vincolo, parser.isSet(forza));

        std::size_t quanti = 0;
        for (const Lista& l : contenuto) quanti += l.barcode.size();
        std::printf("%s: %zu lists, %zu barcodes\n", qPrintable(percorso), contenuto.size(), quanti);
        return 0;
    } catch (const tastalo::Fallimento& f) {
        std::fprintf(stderr, "tastalo-makedb: %d %s%s\n", f.codice(), f.what(),
                     f.codice() == kFileEsistente ? " (use --force to replace it)" : "");
        return 1;
    }
}
