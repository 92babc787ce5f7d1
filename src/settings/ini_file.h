#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>
#include <vector>

namespace tastalo::ini {

// Codes of settings-file failures. A failure of the file itself carries the
// QFileDevice::FileError of the step that failed (1 to 14); these two lie
// outside that range.
inline constexpr std::int32_t kTestoNonValido = 100;           // would break the file's lines
inline constexpr std::int32_t kContenutoNonValido = 101;       // UTF-16 text that does not decode
inline constexpr std::int32_t kTestoNonRappresentabile = 102;  // not in the file's encoding

// The line end of files this program creates.
#ifdef Q_OS_WIN
inline constexpr QByteArrayView kFineRigaPredefinita = "\r\n";
#else
inline constexpr QByteArrayView kFineRigaPredefinita = "\n";
#endif

// --- Pure functions on the bytes of a UTF-8 (or ASCII, or Latin-1) file ---
//
// Section and key names match without regard to case; blanks (space, tab)
// around names, around "=" and around the value are ignored; lines whose
// first non-blank is ';' are comments; only the first section of a name is
// looked at, and in it only the first key of a name.

// The value as it stands after trimming, or empty text when the section or
// key is missing.
QString leggiValore(QByteArrayView contenuto, QStringView sezione, QStringView chiave);

// Why the three texts cannot be written, or nothing when they can: a line
// break anywhere, an empty name, "]" in the section, "=" in the key or a key
// that would read as a comment or a section.
std::optional<QString> motivoTestoNonValido(QStringView sezione, QStringView chiave, QStringView valore);

// The contents after writing one value: the value replaced in place, or the
// key added after the last key of the section, or the section added at the
// end. Every other byte stays, and so does a value that already reads as the
// new text; new lines take the line end the file already uses. New text is
// written in the file's encoding: UTF-8, or Latin-1 when the contents are not
// valid UTF-8. Throws Fallimento (FileImpostazioni) with kTestoNonValido for texts
// that motivoTestoNonValido refuses, kTestoNonRappresentabile for text that
// would not read back as itself in that encoding.
QByteArray scriviValore(const QByteArray& contenuto, QStringView sezione, QStringView chiave,
                        QStringView valore);

// --- Files written as UTF-16 (with a byte-order mark) are edited as UTF-8
// and written back in their own encoding.

enum class Codifica { Utf8, Utf16LE, Utf16BE };

struct TestoDecodificato {
    Codifica codifica = Codifica::Utf8;
    QByteArray utf8;     // the contents to edit: untouched when already UTF-8
    bool valido = true;  // false when UTF-16 text did not decode cleanly
};

TestoDecodificato decodifica(const QByteArray& contenuto);
QByteArray codifica(const QByteArray& utf8, Codifica codifica);

// --- Files ---

// The whole file, or nothing when no file exists at that path. Throws Fallimento
// (FileImpostazioni) naming the path and the reason when it exists but cannot be
// read (a directory, a pipe or a device in the way counts as that).
std::optional<QByteArray> leggiFile(const QString& percorso);

// Replaces or creates the file in one step (QSaveFile): on failure the old
// file stays whole. Throws Fallimento (FileImpostazioni) naming the path and the
// system's reason.
void scriviFileAtomico(const QString& percorso, const QByteArray& contenuto);

struct ValoreIni {
    QString chiave;
    QString valore;
};

// The value as leggiValore gives it, or empty text when there is no file.
// Throws Fallimento (FileImpostazioni) as leggiFile does, and with
// kContenutoNonValido for UTF-16 text that does not decode.
QString leggiDaFile(const QString& percorso, QStringView sezione, QStringView chiave);

// Writes the values into one section, in their order, and replaces (or
// creates) the file once with the result: all of them land, or none. A file
// whose contents do not change is not touched.
void scriviSuFile(const QString& percorso, QStringView sezione, const std::vector<ValoreIni>& valori);

}  // namespace tastalo::ini
