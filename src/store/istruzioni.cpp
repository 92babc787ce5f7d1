#include "store/istruzioni.h"

#include "core/fallimento.h"

namespace tastalo::istruzioni {

QString queryListe() { return QStringLiteral("select * from liste order by lista"); }

QString queryBarcode(std::int32_t idLista) {
    return QStringLiteral("Select Barcode from movimenti where idLista=") + QString::number(idLista);
}

QString cancellaTutte() { return QStringLiteral("delete from liste"); }

QString cancellaUna(const QString& idListaTesto) {
    // The id goes between quotes: anything but a decimal number could close
    // them and change what the statement deletes.
    qsizetype i = idListaTesto.startsWith(u'-') ? 1 : 0;
    if (i == idListaTesto.size()) throw conversione::tipoNonCorrispondente();
    for (; i < idListaTesto.size(); ++i) {
        if (idListaTesto[i] < u'0' || idListaTesto[i] > u'9') throw conversione::tipoNonCorrispondente();
    }
    return QStringLiteral("delete from liste where idLista='") + idListaTesto + QStringLiteral("';");
}

QString cancellaUna(std::int32_t idLista) { return cancellaUna(QString::number(idLista)); }

}  // namespace tastalo::istruzioni
