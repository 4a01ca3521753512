#include "db/oci_shared_library.h"

#include <QDir>
#include <QFile>
#include <QtGlobal>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace dovrelle::sharedlib {

#ifdef Q_OS_WIN

void* open(const QString& path, QString* error)
{
    HMODULE module = LoadLibraryW(reinterpret_cast<const wchar_t*>(path.utf16()));
    if (!module && error) {
        wchar_t* text = nullptr;
        const DWORD code = GetLastError();
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                           | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
        *error = path + QStringLiteral(": ")
            + (text ? QString::fromWCharArray(text).trimmed()
                    : QStringLiteral("error %1").arg(code));
        LocalFree(text);
    }
    return module;
}

void* symbol(void* handle, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void close(void* handle)
{
    FreeLibrary(static_cast<HMODULE>(handle));
}

QStringList ociLibraryCandidates()
{
    QStringList names{QStringLiteral("oci.dll")};
    const QString home = qEnvironmentVariable("ORACLE_HOME");
    if (!home.isEmpty())
        names << QDir::toNativeSeparators(home + QStringLiteral("/bin/oci.dll"));
    return names;
}

#else

void* open(const QString& path, QString* error)
{
    dlerror();
    void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle && error) {
        const char* text = dlerror();
        *error = text ? QString::fromLocal8Bit(text) : path + QStringLiteral(": cannot be loaded");
    }
    return handle;
}

void* symbol(void* handle, const char* name)
{
    return dlsym(handle, name);
}

void close(void* handle)
{
    dlclose(handle);
}

QStringList ociLibraryCandidates()
{
    // Instant Client installed from packages may lack the unversioned link.
    const QStringList files{QStringLiteral("libclntsh.so"), QStringLiteral("libclntsh.so.23.1"),
                            QStringLiteral("libclntsh.so.21.1"), QStringLiteral("libclntsh.so.19.1"),
                            QStringLiteral("libclntsh.so.18.1"), QStringLiteral("libclntsh.so.12.1")};
    QStringList names = files;
    const QString home = qEnvironmentVariable("ORACLE_HOME");
    if (!home.isEmpty())
        for (const QString& file : files)
            names << home + QStringLiteral("/lib/") + file;
    return names;
}

#endif

}  // namespace dovrelle::sharedlib
