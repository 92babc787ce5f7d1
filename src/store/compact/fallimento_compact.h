#pragma once

#include <cstdint>
#include <string>

#include "core/fallimento.h"

// The failures of the SQL Server Compact reader: each with its own code, so
// the program can tell an encrypted file from a damaged one, and words that
// say what and where (page, slot, table).
namespace tastalo::compact {

inline constexpr std::int32_t kFileIlleggibile = 2001;        // the system could not open or read it
inline constexpr std::int32_t kFileCifrato = 2002;            // encrypted: no password, no cipher
inline constexpr std::int32_t kVersioneSconosciuta = 2003;    // an engine version the reader does not know
inline constexpr std::int32_t kFileTroncato = 2004;           // shorter than its own structures say
inline constexpr std::int32_t kFileDanneggiato = 2005;        // a structure that does not check out
inline constexpr std::int32_t kTipoNonDecodificabile = 2006;  // a column type the reader cannot decode
inline constexpr std::int32_t kFileCambiato = 2007;           // written again while it was being read
inline constexpr std::int32_t kTabellaAssente = 2008;         // no table of that name
inline constexpr std::int32_t kColonnaAssente = 2009;         // no column of that name
inline constexpr std::int32_t kSolaLettura = 2010;            // a write asked of a file never written

inline Fallimento fallimento(std::int32_t codice, const std::string& descrizione) {
    return {OrigineFallimento::FileCompact, codice, descrizione};
}

}  // namespace tastalo::compact
