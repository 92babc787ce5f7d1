#pragma once

// Private to the store: COM on the calling thread for one operation.

namespace tastalo::oledb {

// Enters a single-threaded apartment unless the thread is in one already
// (Qt's GUI thread is, OLE being initialised there), and leaves it again
// only if it entered.
class ApartamentoCom {
public:
    ApartamentoCom();
    ~ApartamentoCom();
    ApartamentoCom(const ApartamentoCom&) = delete;
    ApartamentoCom& operator=(const ApartamentoCom&) = delete;

private:
    bool m_entrato = false;
};

}  // namespace tastalo::oledb
