#include "settings/spooling_ini.h"

#include <QDir>

#include "core/avvisi.h"
#include "settings/configurazione.h"
#include "settings/ini_programma.h"
#include "settings/ritardo.h"
#include "settings/senza_blank.h"

namespace tastalo {
namespace {

const QString kFile = QStringLiteral("spooling.ini");
const QString kSezione = QStringLiteral("DATI");
const QString kChiaveDataBase = QStringLiteral("DataBase");
const QString kChiaveFinestraPGM = QStringLiteral("FinestraPGM");
const QString kChiaveDelay = QStringLiteral("Delay");
const QString kTitoloPredefinito = QStringLiteral("Korvedo");
constexpr std::int32_t kRitardoPredefinito = 500;

TestiImpostazioni testiDelFile(const IniProgramma& ini) {
    return {ini.LeggiIni(kSezione, kChiaveDataBase, kFile), ini.LeggiIni(kSezione, kChiaveFinestraPGM, kFile),
            ini.LeggiIni(kSezione, kChiaveDelay, kFile)};
}

// One replacement of the file: a failure leaves it as it was, or leaves no
// file rather than one that lacks keys and would be read as it stands.
void scriviTesti(const IniProgramma& ini, const TestiImpostazioni& testi) {
    ini.ScriviIni(kSezione,
                  {{kChiaveDataBase, testi.percorsoDatabase},
                   {kChiaveFinestraPGM, testi.titoloFinestra},
                   {kChiaveDelay, testi.ritardo}},
                  kFile);
}

TestiImpostazioni testiPredefiniti(const QString& cartellaProgramma) {
    return {percorsoDatabasePredefinito(cartellaProgramma), kTitoloPredefinito,
            QString::number(kRitardoPredefinito)};
}

}  // namespace

QString percorsoDatabasePredefinito(const QString& cartellaProgramma) {
    return QDir::toNativeSeparators(QDir(cartellaProgramma).filePath(QStringLiteral("Dati.sdf")));
}

SpoolingIni::SpoolingIni(const IniProgramma& ini) : m_ini(ini) {}

QString SpoolingIni::percorsoDatabase(QStringView testo) const {
    const QString cartella = m_ini.cartellaProgramma();
    const QString percorso = senzaBlank(testo).toString();
    // A missing DataBase key, or a file with no DATI section at all, means the
    // same database as a first start.
    if (percorso.isEmpty()) return percorsoDatabasePredefinito(cartella);
    // Relative to the program folder, as the settings file itself.
    if (!QDir::isRelativePath(percorso)) return percorso;
    return QDir::toNativeSeparators(QDir::cleanPath(QDir(cartella).absoluteFilePath(percorso)));
}

EsitoCaricamento SpoolingIni::carica(Configurazione& configurazione) const {
    const auto predefiniti = [&] {
        configurazione.PercorsoDatabase = percorsoDatabasePredefinito(m_ini.cartellaProgramma());
        configurazione.TitoloFinestra = kTitoloPredefinito;
        configurazione.Ritardo = kRitardoPredefinito;
    };
    EsitoCaricamento esito;
    try {
        if (!m_ini.esiste(kFile)) {
            predefiniti();
            scriviTesti(m_ini, testiPredefiniti(m_ini.cartellaProgramma()));
            return esito;
        }
        // All three texts are read before the settings change, so that a
        // failure halfway leaves nothing of the file in them.
        const TestiImpostazioni testi = testiDelFile(m_ini);
        configurazione.PercorsoDatabase = percorsoDatabase(testi.percorsoDatabase);
        configurazione.TitoloFinestra = testi.titoloFinestra;
        const std::optional<std::int32_t> ritardo = ritardoDaTesto(testi.ritardo);
        // The send needs a whole number of milliseconds, 0 or more.
        esito.ritardoNonValido = !ritardo;
        configurazione.Ritardo = ritardo.value_or(kRitardoPredefinito);
    } catch (const Fallimento& fallimento) {
        // The program can still run on the defaults.
        predefiniti();
        esito = {fallimento, false};
    }
    return esito;
}

LetturaImpostazioni SpoolingIni::leggiTesti(const Configurazione& inUso) const {
    LetturaImpostazioni lettura;
    TestiImpostazioni& testi = lettura.testi;
    testi = {inUso.PercorsoDatabase, inUso.TitoloFinestra, QString::number(inUso.Ritardo)};
    try {
        const TestiImpostazioni delFile = testiDelFile(m_ini);
        if (!delFile.percorsoDatabase.isEmpty()) testi.percorsoDatabase = delFile.percorsoDatabase;
        if (!delFile.titoloFinestra.isEmpty()) testi.titoloFinestra = delFile.titoloFinestra;
        if (ritardoDaTesto(delFile.ritardo)) testi.ritardo = delFile.ritardo;
    } catch (const Fallimento& fallimento) {
        lettura.fallimento = fallimento;
    }
    return lettura;
}

void SpoolingIni::salva(const TestiImpostazioni& testi, Configurazione& configurazione) const {
    const std::optional<std::int32_t> ritardo = ritardoDaTesto(testi.ritardo);
    if (!ritardo) {
        throw Fallimento(OrigineFallimento::Conversione, conversione::kTipoNonCorrispondente,
                         avvisi::kRitardoNonValido.toStdString());
    }
    scriviTesti(m_ini, testi);
    // The file is on disk before the settings in memory change, and they
    // change to what the next start will read from it.
    configurazione.PercorsoDatabase = percorsoDatabase(testi.percorsoDatabase);
    configurazione.TitoloFinestra = senzaBlank(testi.titoloFinestra).toString();
    configurazione.Ritardo = *ritardo;
}

}  // namespace tastalo
