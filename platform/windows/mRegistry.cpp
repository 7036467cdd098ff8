// mRegistry.h comes first: <windows.h> makes its constants' names macros.
#include "mRegistry.h"
#include "RegistryValues.h"

#include <windows.h>

#include <algorithm>

#include "ErrorText.h"

namespace ombrix::mRegistry {

namespace {

thread_local std::string lastError;

// Only the predefined hives (HKEY_CLASSES_ROOT to HKEY_CURRENT_CONFIG) are
// taken, so that no number can stand for a handle this process holds.
HKEY hiveKey(Hive hive)
{
    if (hive < 0x80000000u || hive > 0x80000005u)
        return nullptr;
    // Handles of predefined keys are the sign-extended 32-bit values.
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(hive)));
}

// Records a failure's words for LastRegError; true when `status` is success.
bool succeeded(LSTATUS status)
{
    if (status != ERROR_SUCCESS)
        lastError = ErrorText(static_cast<unsigned long>(status));
    return status == ERROR_SUCCESS;
}

// A key opened for one call, closed when it goes.
class OpenKey {
public:
    // An empty key path gives back the hive's own handle, which stays open.
    ~OpenKey()
    {
        if (key_ && key_ != top_)
            RegCloseKey(key_);
    }
    OpenKey() = default;
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    // RegOpenKeyA: an existing key only.
    LSTATUS open(Hive hive, const std::string& keyPath)
    {
        top_ = hiveKey(hive);
        return top_ ? RegOpenKeyA(top_, keyPath.c_str(), &key_) : ERROR_INVALID_HANDLE;
    }
    // RegCreateKeyA: missing keys along the path are made.
    LSTATUS create(Hive hive, const std::string& keyPath)
    {
        top_ = hiveKey(hive);
        return top_ ? RegCreateKeyA(top_, keyPath.c_str(), &key_) : ERROR_INVALID_HANDLE;
    }
    HKEY get() const { return key_; }

private:
    HKEY top_ = nullptr;
    HKEY key_ = nullptr;
};

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool byName(const RegValue& a, const RegValue& b)
{
    return std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
                                        [](char x, char y) { return asciiLower(x) < asciiLower(y); });
}

// The value at `index`: ERROR_SUCCESS, ERROR_NO_MORE_ITEMS or a failure. The
// buffers grow until name and data fit; the sizes the system reports for
// texts in the code page are not always the sizes it then needs.
LSTATUS valueAt(HKEY key, DWORD index, RegValue& value)
{
    std::string name(256, '\0');
    std::string data(1024, '\0');
    for (;;) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LSTATUS status = RegEnumValueA(key, index, name.data(), &nameLength, nullptr, &type,
                                             reinterpret_cast<BYTE*>(data.data()), &dataSize);
        if (status == ERROR_MORE_DATA) {
            name.resize(name.size() * 2);
            data.resize(std::max<std::size_t>(data.size() * 2, dataSize));
            continue;
        }
        if (status == ERROR_SUCCESS)
            value = {name.substr(0, nameLength), type, data.substr(0, dataSize)};
        return status;
    }
}

}  // namespace

bool StoreRegValue(Hive hive, const std::string& keyPath, const std::string& valueName, std::uint32_t type,
                   const std::string& data)
{
    lastError.clear();
    OpenKey key;
    // The system stores one more character of a string value when the byte
    // after the data is a NUL; a byte that is none keeps the stored form to
    // the data's own bytes.
    const std::string followed = data + '\x01';
    return succeeded(key.create(hive, keyPath)) &&
           succeeded(RegSetValueExA(key.get(), valueName.c_str(), 0, type,
                                    reinterpret_cast<const BYTE*>(followed.data()), static_cast<DWORD>(data.size())));
}

std::string SettingsFile()
{
    return "HKEY_CURRENT_USER";
}

std::string ReadRegString(Hive hive, const std::string& keyPath, const std::string& valueName,
                          const std::string& defaultText)
{
    OpenKey key;
    if (key.open(hive, keyPath) != ERROR_SUCCESS)
        return defaultText;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return defaultText;
    std::string buffer(size, ' ');
    if (RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS || type != REG_SZ)
        return defaultText;
    // The first answer can be larger than the text in the code page: keep what was written.
    buffer.resize(std::min<std::size_t>(size, buffer.size()));
    return buffer.substr(0, buffer.find('\0'));
}

std::optional<std::vector<RegValue>> ListRegValues(Hive hive, const std::string& keyPath)
{
    lastError.clear();
    OpenKey key;
    const LSTATUS opened = key.open(hive, keyPath);
    if (opened == ERROR_FILE_NOT_FOUND)
        return std::vector<RegValue>{};
    if (!succeeded(opened))
        return std::nullopt;
    std::vector<RegValue> values;
    for (DWORD index = 0;; ++index) {
        RegValue value;
        const LSTATUS status = valueAt(key.get(), index, value);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (!succeeded(status))
            return std::nullopt;
        values.push_back(std::move(value));
    }
    std::stable_sort(values.begin(), values.end(), byName);
    return values;
}

std::string LastRegError()
{
    return lastError;
}

bool DeleteRegValue(Hive hive, const std::string& keyPath, const std::string& valueName)
{
    lastError.clear();
    OpenKey key;
    const LSTATUS opened = key.open(hive, keyPath);
    if (opened == ERROR_FILE_NOT_FOUND)
        return true;
    if (!succeeded(opened))
        return false;
    const LSTATUS deleted = RegDeleteValueA(key.get(), valueName.c_str());
    return deleted == ERROR_FILE_NOT_FOUND || succeeded(deleted);
}

}  // namespace ombrix::mRegistry
