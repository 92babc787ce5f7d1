#include "store/oledb/apartamento_com.h"

#include <objbase.h>

namespace tastalo::oledb {

ApartamentoCom::ApartamentoCom() {
    // RPC_E_CHANGED_MODE: the thread is in a multithreaded apartment, where
    // the provider works as well; that one is not ours to leave.
    const HRESULT esito = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    m_entrato = SUCCEEDED(esito);
}

ApartamentoCom::~ApartamentoCom() {
    if (m_entrato) CoUninitialize();
}

}  // namespace tastalo::oledb
