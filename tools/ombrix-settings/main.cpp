// ombrix-settings: reads and changes the per-user settings store from a terminal.
#include <charconv>
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "StoreHelp.h"
#include "mRegistry.h"

namespace {

using namespace ombrix::mRegistry;

constexpr const char* kUsage =
    "usage: ombrix-settings [--key KEYPATH] get NAME [DEFAULT]\n"
    "       ombrix-settings [--key KEYPATH] set NAME TEXT\n"
    "       ombrix-settings [--key KEYPATH] set-dword NAME NUMBER\n"
    "         (Ombrix reads its options as text only: a number, 0 included, reads as\n"
    "         the default, and AutoRepair's default is on: found files are removed)\n"
    "       ombrix-settings [--key KEYPATH] list\n"
    "       ombrix-settings [--key KEYPATH] delete NAME\n"
    "KEYPATH is a \\-separated key path below the top of the store (default: the top).\n";

int usageError(const std::string& message)
{
    std::cerr << "ombrix-settings: " << message << '\n' << kUsage << kStoreHelp;
    return 2;
}

// `message` names the operation; the store file completes the sentence.
int storeError(const std::string& message)
{
    const std::string why = LastRegError();
    std::cerr << "ombrix-settings: " << message << " the settings store " << SettingsFile()
              << (why.empty() ? "" : ": " + why) << '\n';
    return 1;
}

std::optional<std::uint32_t> parseNumber(const std::string& text)
{
    std::uint32_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

std::string hex(const std::string& bytes)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (const unsigned char byte : bytes)
        text += {kDigits[byte >> 4], kDigits[byte & 0xf]};
    return text;
}

// Strings as a reader of the store sees them, 32-bit numbers in decimal, anything else in hex.
std::string valueText(const RegValue& value)
{
    if (value.type == REG_SZ)
        return value.data.substr(0, value.data.find('\0'));
    if (value.type == REG_DWORD && value.data.size() == 4) {
        std::uint32_t number = 0;
        for (int byte = 3; byte >= 0; --byte)
            number = number << 8 | static_cast<unsigned char>(value.data[byte]);
        return std::to_string(number);
    }
    return hex(value.data);
}

int list(const std::string& key)
{
    const auto values = ListRegValues(HKEY_CURRENT_USER, key);
    if (!values)
        return storeError("cannot read");
    for (const RegValue& value : *values)
        std::cout << value.name << '\t' << value.type << '\t' << valueText(value) << '\n';
    return 0;
}

int setDword(const std::string& key, const std::string& name, const std::string& text)
{
    const auto number = parseNumber(text);
    if (!number)
        return usageError("not a number from 0 to 4294967295: " + text);
    return WriteRegDword(HKEY_CURRENT_USER, key, name, *number) ? 0 : storeError("cannot store \"" + name + "\" in");
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << kUsage << kStoreHelp;
        return 0;
    }
    std::string key;
    if (!args.empty() && args[0] == "--key") {
        if (args.size() < 2)
            return usageError("--key needs a key path");
        key = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty())
        return usageError("no command given");
    const std::string& command = args[0];
    const std::size_t operands = args.size() - 1;

    if (command == "get" && (operands == 1 || operands == 2)) {
        std::cout << ReadRegString(HKEY_CURRENT_USER, key, args[1], operands == 2 ? args[2] : "") << '\n';
        return 0;
    }
    if (command == "set" && operands == 2)
        return WriteRegString(HKEY_CURRENT_USER, key, args[1], args[2]) ? 0
                                                                         : storeError("cannot store \"" + args[1] + "\" in");
    if (command == "set-dword" && operands == 2)
        return setDword(key, args[1], args[2]);
    if (command == "list" && operands == 0)
        return list(key);
    if (command == "delete" && operands == 1)
        return DeleteRegValue(HKEY_CURRENT_USER, key, args[1]) ? 0 : storeError("cannot delete \"" + args[1] + "\" from");

    for (const char* known : {"get", "set", "set-dword", "list", "delete"})
        if (command == known)
            return usageError("wrong number of arguments for " + command);
    return usageError("unknown command: " + command);
}
