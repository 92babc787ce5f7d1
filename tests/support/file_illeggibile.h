#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#ifdef _WIN32
#include <windows.h>
#endif

namespace tastalo::prova {

// A file that exists but cannot be read, even by root or an administrator.
// On Linux a link to /proc/self/mem, whose reading at offset 0 fails with an
// I/O error. On Windows a file that this object holds open sharing it with
// nobody, as another program may: opening it fails.
class FileIlleggibile {
public:
    explicit FileIlleggibile(const QString& percorso) : m_percorso(percorso) {
#ifdef _WIN32
        QFile file(percorso);
        if (!file.open(QIODevice::WriteOnly) || file.write(kContenuto) != kContenuto.size()) return;
        file.close();
        m_handle = CreateFileW(reinterpret_cast<const wchar_t*>(percorso.utf16()), GENERIC_READ, 0, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        m_creato = m_handle != INVALID_HANDLE_VALUE;
#else
        m_creato = QFile::link(QStringLiteral("/proc/self/mem"), percorso);
#endif
    }
    ~FileIlleggibile() {
#ifdef _WIN32
        if (m_creato) CloseHandle(m_handle);
#endif
    }
    FileIlleggibile(const FileIlleggibile&) = delete;
    FileIlleggibile& operator=(const FileIlleggibile&) = delete;

    bool creato() const { return m_creato; }

    // True when the file is still the one made here (Windows: once released).
    bool intatto() {
#ifdef _WIN32
        if (m_creato) CloseHandle(m_handle);
        m_creato = false;
        QFile file(m_percorso);
        return file.open(QIODevice::ReadOnly) && file.readAll() == kContenuto;
#else
        return QFile::symLinkTarget(m_percorso) == QStringLiteral("/proc/self/mem");
#endif
    }

private:
    QString m_percorso;
    bool m_creato = false;
#ifdef _WIN32
    static inline const QByteArray kContenuto = QByteArrayLiteral("[DATI]\r\nDelay=7\r\n");
    HANDLE m_handle = INVALID_HANDLE_VALUE;
#endif
};

}  // namespace tastalo::prova
