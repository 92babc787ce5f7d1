#include "store/compact/accesso_file.h"

#include <string>
#include <system_error>

#include "store/compact/fallimento_compact.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#endif

namespace tastalo::compact {

namespace {

std::string nomeFile(const std::filesystem::path& percorso) {
    const std::u8string testo = percorso.u8string();
    return std::string(testo.begin(), testo.end());
}

Fallimento illeggibile(const std::string& cosa, const std::error_code& errore) {
    return fallimento(kFileIlleggibile, cosa + ": " + errore.message());
}

}  // namespace

#ifdef _WIN32

FileSolaLettura::FileSolaLettura(const std::filesystem::path& percorso) {
    // The engine keeps its files open while the collector writes: share
    // everything so that neither side locks the other out.
    HANDLE handle =
        CreateFileW(percorso.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        throw illeggibile("impossibile aprire il file " + nomeFile(percorso),
                          std::error_code(static_cast<int>(GetLastError()), std::system_category()));
    }
    LARGE_INTEGER dimensione{};
    if (!GetFileSizeEx(handle, &dimensione)) {
        const std::error_code errore(static_cast<int>(GetLastError()), std::system_category());
        CloseHandle(handle);
        throw illeggibile("impossibile leggere la dimensione del file " + nomeFile(percorso), errore);
    }
    m_handle = handle;
    m_dimensione = static_cast<std::uint64_t>(dimensione.QuadPart);
}

FileSolaLettura::~FileSolaLettura() { CloseHandle(static_cast<HANDLE>(m_handle)); }

std::size_t FileSolaLettura::leggi(std::uint64_t offset, std::uint8_t* destinazione,
                                   std::size_t quanti) const {
    std::size_t letti = 0;
    while (letti < quanti) {
        OVERLAPPED posizione{};
        const std::uint64_t da = offset + letti;
        posizione.Offset = static_cast<DWORD>(da & 0xFFFFFFFFu);
        posizione.OffsetHigh = static_cast<DWORD>(da >> 32);
        DWORD ora = 0;
        if (!ReadFile(static_cast<HANDLE>(m_handle), destinazione + letti, static_cast<DWORD>(quanti - letti),
                      &ora, &posizione)) {
            const DWORD errore = GetLastError();
            if (errore == ERROR_HANDLE_EOF) break;
            throw illeggibile("errore di lettura all'offset " + std::to_string(da),
                              std::error_code(static_cast<int>(errore), std::system_category()));
        }
        if (ora == 0) break;
        letti += ora;
    }
    return letti;
}

#else

FileSolaLettura::FileSolaLettura(const std::filesystem::path& percorso) {
    m_descrittore = ::open(percorso.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_descrittore < 0) {
        throw illeggibile("impossibile aprire il file " + nomeFile(percorso),
                          std::error_code(errno, std::generic_category()));
    }
    struct stat stato {};
    if (::fstat(m_descrittore, &stato) != 0) {
        const std::error_code errore(errno, std::generic_category());
        ::close(m_descrittore);
        throw illeggibile("impossibile leggere la dimensione del file " + nomeFile(percorso), errore);
    }
    if (!S_ISREG(stato.st_mode)) {
        ::close(m_descrittore);
        throw fallimento(kFileIlleggibile, nomeFile(percorso) + " non è un file");
    }
    m_dimensione = static_cast<std::uint64_t>(stato.st_size);
}

FileSolaLettura::~FileSolaLettura() { ::close(m_descrittore); }

std::size_t FileSolaLettura::leggi(std::uint64_t offset, std::uint8_t* destinazione,
                                   std::size_t quanti) const {
    std::size_t letti = 0;
    while (letti < quanti) {
        const ssize_t ora =
            ::pread(m_descrittore, destinazione + letti, quanti - letti, static_cast<off_t>(offset + letti));
        if (ora < 0) {
            if (errno == EINTR) continue;
            throw illeggibile("errore di lettura all'offset " + std::to_string(offset + letti),
                              std::error_code(errno, std::generic_category()));
        }
        if (ora == 0) break;
        letti += static_cast<std::size_t>(ora);
    }
    return letti;
}

#endif

}  // namespace tastalo::compact
