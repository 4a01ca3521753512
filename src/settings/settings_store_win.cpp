// The settings store on Windows: the registry key SOFTWARE\Korvane\Dovrelle under
// HKEY_CURRENT_USER, one REG_SZ value per setting.
#include "settings/settings_store.h"

#ifdef Q_OS_WIN

#include "db/error.h"

#include <windows.h>

#include <vector>

namespace dovrelle {

namespace {

constexpr wchar_t keyPath[] = L"SOFTWARE\\Korvane\\Dovrelle";

class RegistryKey {
public:
    explicit RegistryKey(HKEY key) : key_(key) {}
    ~RegistryKey() { RegCloseKey(key_); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_;
};

StoredValue readValue(HKEY key, const QString& name)
{
    const auto wname = reinterpret_cast<const wchar_t*>(name.utf16());
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, wname, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return StoredValue{StoredValue::Kind::OtherType, {}};
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key, wname, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
        ERROR_SUCCESS)
        return {};
    return StoredValue{StoredValue::Kind::Text, QString::fromWCharArray(buffer.data())};
}

}  // namespace

std::optional<StoredValues> readSettingsStore(const QStringList& names)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return std::nullopt;
    RegistryKey key(handle);
    StoredValues values;
    for (const QString& name : names)
        values.insert(name, readValue(key.get(), name));
    return values;
}

void writeSettingsStore(const QList<std::pair<QString, QString>>& values)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                        nullptr, &handle, nullptr) != ERROR_SUCCESS)
        return;
    RegistryKey key(handle);
    for (const auto& [name, value] : values) {
        const auto bytes = DWORD((value.size() + 1) * sizeof(wchar_t));
        if (RegSetValueExW(key.get(), reinterpret_cast<const wchar_t*>(name.utf16()), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(value.utf16()), bytes) != ERROR_SUCCESS)
            throw Error(QStringLiteral("Failed to set data for '%1'").arg(name));
    }
}

}  // namespace dovrelle

#endif
