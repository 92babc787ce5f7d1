#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "store/compact/accesso_file.h"
#include "store/compact/formato_compact.h"

// The pages of a SQL Server Compact file by logical id: the page map read
// once, every current page's header checked against it, and the pages
// themselves read on demand through a small cache.
namespace tastalo::compact {

class PagineCompact {
public:
    // Reads the map whose root is physical page `radice` and checks the
    // header of every page it names.
    PagineCompact(const FileSolaLettura& file, std::uint32_t radice);

    std::uint64_t numeroPagine() const { return m_numeroPagine; }
    std::uint32_t pagineMappate() const { return m_pagineMappate; }

    // The current copy of logical page `id`, checked to be of type `tipo`
    // (and, for heap pages, to belong to `proprietario`). The bytes stay valid
    // until the next call.
    const std::uint8_t* pagina(std::uint32_t id, std::uint8_t tipo);
    const std::uint8_t* paginaHeap(std::uint32_t id, std::uint32_t proprietario);

    // The logical ids of the heap pages of object `proprietario`, ascending.
    std::vector<std::uint32_t> pagineHeap(std::uint32_t proprietario) const;

private:
    const std::uint8_t* fisica(std::uint32_t numero);
    void leggiFisica(std::uint32_t numero, std::uint8_t* destinazione, std::size_t quanti) const;
    std::uint32_t fisicaDi(std::uint32_t id) const;
    void leggiMappa(std::uint32_t radice);
    void controllaTestate();

    struct Voce {
        std::uint32_t numero = 0;  // physical page; 0 = free (page 0 is never cached)
        std::uint64_t uso = 0;
        std::array<std::uint8_t, kDimensionePagina> byte{};
    };
    static constexpr std::size_t kVociCache = 32;

    const FileSolaLettura& m_file;
    std::uint64_t m_numeroPagine = 0;
    std::uint32_t m_pagineMappate = 0;
    // One vector of kVociMappa physical numbers per map page the root names.
    std::vector<std::vector<std::uint32_t>> m_mappa;
    // Heap pages as owner << 32 | logical id, sorted.
    std::vector<std::uint64_t> m_heap;
    std::vector<Voce> m_cache;
    std::uint64_t m_orologio = 0;
};

}  // namespace tastalo::compact
