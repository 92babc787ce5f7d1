#include "store/oledb/fallimento_oledb.h"

#include <oleauto.h>

#include <QString>
#include <cstdint>
#include <cstdio>

#include "core/fallimento.h"
#include "store/oledb/puntatore_com.h"

namespace tastalo::oledb {

namespace {

// The error object is the thread's, so it is asked for only when the object
// that failed says it set one: otherwise it could be an older failure's.
std::string paroleDelProvider(IUnknown* oggetto, REFIID interfaccia) {
    PuntatoreCom<ISupportErrorInfo> supporto;
    if (!oggetto || FAILED(oggetto->QueryInterface(IID_ISupportErrorInfo, supporto.ricevi())) ||
        supporto->InterfaceSupportsErrorInfo(interfaccia) != S_OK) {
        return {};
    }
    PuntatoreCom<IErrorInfo> errore;
    if (GetErrorInfo(0, reinterpret_cast<IErrorInfo**>(errore.ricevi())) != S_OK || !errore) return {};
    BSTR testo = nullptr;
    std::string parole;
    if (SUCCEEDED(errore->GetDescription(&testo)) && testo) {
        parole = QString::fromWCharArray(testo, static_cast<qsizetype>(SysStringLen(testo))).toStdString();
    }
    SysFreeString(testo);
    return parole;
}

std::string paroleDelSistema(HRESULT esito) {
    wchar_t* testo = nullptr;
    const DWORD lunghezza = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(esito), 0, reinterpret_cast<wchar_t*>(&testo), 0, nullptr);
    QString parole =
        lunghezza ? QString::fromWCharArray(testo, static_cast<qsizetype>(lunghezza)).trimmed() : QString();
    LocalFree(testo);
    if (parole.isEmpty()) {
        char esadecimale[16];
        std::snprintf(esadecimale, sizeof esadecimale, "0x%08lX", static_cast<unsigned long>(esito));
        parole = QStringLiteral("il provider OLE DB ha risposto %1").arg(QLatin1String(esadecimale));
    }
    return parole.toStdString();
}

}  // namespace

void fallisci(HRESULT esito, IUnknown* oggetto, REFIID interfaccia) {
    std::string parole = paroleDelProvider(oggetto, interfaccia);
    if (parole.empty()) parole = paroleDelSistema(esito);
    fallisci(esito, parole);
}

void fallisci(HRESULT esito, const std::string& descrizione) {
    throw Fallimento(OrigineFallimento::ProviderOleDb, static_cast<std::int32_t>(esito), descrizione);
}

}  // namespace tastalo::oledb
