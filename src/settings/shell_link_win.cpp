// Shortcuts on Windows: a shell link written through IShellLinkW and IPersistFile.
#include "settings/shell_link.h"

#ifdef Q_OS_WIN

#include "db/error.h"

#include <QDir>
#include <QFileInfo>

#include <objbase.h>
#include <ole2.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace dovrelle {

namespace {

// OLE for the calling thread, for as long as the shortcut is written.
class OleSession {
public:
    OleSession() { OleInitialize(nullptr); }
    ~OleSession() { OleUninitialize(); }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;
};

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr()
    {
        if (p_)
            p_->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T** out() { return &p_; }
    T* operator->() const { return p_; }

private:
    T* p_ = nullptr;
};

QString systemText(HRESULT hr)
{
    wchar_t* buffer = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, DWORD(hr), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    QString text = buffer ? QString::fromWCharArray(buffer).trimmed() : QString::number(hr, 16);
    LocalFree(buffer);
    return text;
}

void check(HRESULT hr, const QString& what)
{
    if (FAILED(hr))
        throw Error(QStringLiteral("%1: %2").arg(what, systemText(hr)));
}

const wchar_t* wide(const QString& text)
{
    return reinterpret_cast<const wchar_t*>(text.utf16());
}

}  // namespace

void createShellLink(const QString& programPath, const QString& arguments, const QString& shortcutPath)
{
    OleSession ole;
    ComPtr<IUnknown> object;
    const HRESULT created =
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(object.out()));
    if (FAILED(created))
        throw Error(QStringLiteral("%1, ClassID: {00021401-0000-0000-C000-000000000046}").arg(systemText(created)));
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(object->QueryInterface(IID_IShellLinkW, reinterpret_cast<void**>(link.out()))) ||
        FAILED(object->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.out()))))
        throw Error(QStringLiteral("Interface not supported"));

    const QString program = QDir::toNativeSeparators(programPath);
    const QString folder = QDir::toNativeSeparators(QFileInfo(programPath).absolutePath()) + QLatin1Char('\\');
    const QString target = QDir::toNativeSeparators(shortcutPath);
    check(link->SetPath(wide(program)), QStringLiteral("Cannot set the shortcut's target"));
    check(link->SetArguments(wide(arguments)), QStringLiteral("Cannot set the shortcut's arguments"));
    check(link->SetWorkingDirectory(wide(folder)), QStringLiteral("Cannot set the shortcut's working folder"));
    check(file->Save(wide(target), FALSE), QStringLiteral("Cannot save the shortcut \"%1\"").arg(target));
}

QString quotedShortcutArgument(const QString& settingsPath)
{
    return QLatin1Char('"') + QDir::toNativeSeparators(settingsPath) + QLatin1Char('"');
}

QString shortcutFileFilter()
{
    return QStringLiteral("lnk (*.lnk)");
}

QString shortcutDefaultSuffix()
{
    return QStringLiteral("lnk");
}

}  // namespace dovrelle

#endif
