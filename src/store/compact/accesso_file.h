#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

// A file opened for reading only, shared with the program that writes it
// (reads, writes and deletes stay allowed to others), read at given offsets.
namespace tastalo::compact {

class FileSolaLettura {
public:
    // Fails with kFileIlleggibile naming the file and the system's reason.
    explicit FileSolaLettura(const std::filesystem::path& percorso);
    ~FileSolaLettura();
    FileSolaLettura(const FileSolaLettura&) = delete;
    FileSolaLettura& operator=(const FileSolaLettura&) = delete;

    std::uint64_t dimensione() const { return m_dimensione; }
    // Reads up to `quanti` bytes at `offset`; returns how many it read (fewer
    // only at the end of the file). A system error fails with kFileIlleggibile.
    std::size_t leggi(std::uint64_t offset, std::uint8_t* destinazione, std::size_t quanti) const;

private:
#ifdef _WIN32
    void* m_handle = nullptr;
#else
    int m_descrittore = -1;
#endif
    std::uint64_t m_dimensione = 0;
};

}  // namespace tastalo::compact
