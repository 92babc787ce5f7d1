// spooling.ini as start-up loads it and the settings dialog saves it.
#include "settings/spooling_ini.h"

#include <gtest/gtest.h>

#include <QDir>

#include "settings/configurazione.h"
#include "settings/ini_programma.h"
#include "support/temp_folder.h"

namespace tastalo {
namespace {

using prova::TempFolder;

TEST(SpoolingIni, DefaultDatabaseIsDatiSdfInTheProgramFolder) {
    EXPECT_EQ(percorsoDatabasePredefinito("/opt/tastalo"), QDir::toNativeSeparators("/opt/tastalo/Dati.sdf"));
    EXPECT_EQ(percorsoDatabasePredefinito("/opt/tastalo/"),
              QDir::toNativeSeparators("/opt/tastalo/Dati.sdf"));
}

TEST(SpoolingIni, WhatTheDialogSavesIsWhatTheNextStartLoads) {
    const TestiImpostazioni casi[] = {
        {" /dati/Dati 2.sdf ", "  Korvedo - Ordini ", " 750 "},
        {"liste/../Altro.sdf", "Blocco note", "1.000"},
        {"", "", "1,5"},
    };
    for (const TestiImpostazioni& testi : casi) {
        SCOPED_TRACE(testi.percorsoDatabase.toStdString());
        TempFolder cartella;
        const IniProgramma ini(cartella.path());
        const SpoolingIni spoolingIni(ini);
        Configurazione salvata;
        spoolingIni.salva(testi, salvata);

        Configurazione caricata;
        const EsitoCaricamento esito = spoolingIni.carica(caricata);
        EXPECT_FALSE(esito.fallimento.has_value());
        EXPECT_FALSE(esito.ritardoNonValido);
        EXPECT_EQ(caricata.PercorsoDatabase, salvata.PercorsoDatabase);
        EXPECT_EQ(caricata.TitoloFinestra, salvata.TitoloFinestra);
        EXPECT_EQ(caricata.Ritardo, salvata.Ritardo);
    }
}

}  // namespace
}  // namespace tastalo
