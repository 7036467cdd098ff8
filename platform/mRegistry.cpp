#include "RegistryValues.h"

namespace ombrix::mRegistry {

bool WriteRegString(Hive hive, const std::string& keyPath, const std::string& valueName, const std::string& text)
{
    return StoreRegValue(hive, keyPath, valueName, REG_SZ, text);
}

bool WriteRegDword(Hive hive, const std::string& keyPath, const std::string& valueName, std::uint32_t number)
{
    const std::string data{static_cast<char>(number & 0xff), static_cast<char>((number >> 8) & 0xff),
                           static_cast<char>((number >> 16) & 0xff), static_cast<char>(number >> 24)};
    return StoreRegValue(hive, keyPath, valueName, REG_DWORD, data);
}

}  // namespace ombrix::mRegistry
