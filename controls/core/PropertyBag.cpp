#include "VarnoButton/PropertyBag.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace ombrix {

namespace {

std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    return out + '"';
}

// Reads a quoted string at the start of in; false when there is none.
bool readQuoted(std::istream& in, std::string& text)
{
    in >> std::ws;
    if (in.get() != '"')
        return false;
    text.clear();
    for (int c = in.get(); c != EOF; c = in.get()) {
        if (c == '"')
            return true;
        if (c == '\\') {
            c = in.get();
            if (c == 'n')
                c = '\n';
        }
        text += char(c);
    }
    return false;
}

const char* truth(bool value)
{
    return value ? "True" : "False";
}

struct Encoder {
    std::string operator()(bool value) const { return truth(value); }
    std::string operator()(int32_t value) const { return std::to_string(value); }
    std::string operator()(uint32_t value) const
    {
        char text[16];
        std::snprintf(text, sizeof text, "&H%08X&", unsigned(value));
        return text;
    }
    std::string operator()(const std::string& value) const { return quoted(value); }
    std::string operator()(const FontChoice& font) const
    {
        std::ostringstream out;
        out << "Font(" << quoted(font.name) << ", " << font.points << ", " << truth(font.bold) << ", "
            << truth(font.italic) << ", " << truth(font.underline) << ", " << truth(font.strikethrough) << ")";
        return out.str();
    }
    std::string operator()(const PictureData& picture) const
    {
        std::ostringstream out;
        out << "Picture(" << picture.width << ", " << picture.height << ", ";
        char pixel[9];
        for (const uint32_t value : picture.pixels) {
            std::snprintf(pixel, sizeof pixel, "%08X", unsigned(value));
            out << pixel;
        }
        out << ")";
        return out.str();
    }
};

bool readTruth(std::istream& in, bool& value)
{
    std::string word;
    in >> std::ws;
    while (std::isalpha(in.peek()))
        word += char(in.get());
    value = word == "True";
    return word == "True" || word == "False";
}

bool expect(std::istream& in, char c)
{
    in >> std::ws;
    return in.get() == c;
}

// The value text holds, read as the type of like; nullopt when it holds none.
std::optional<PropertyValue> decode(const std::string& text, const PropertyValue& like)
{
    std::istringstream in(text);
    if (std::holds_alternative<bool>(like)) {
        bool value = false;
        return readTruth(in, value) ? std::optional<PropertyValue>(value) : std::nullopt;
    }
    if (std::holds_alternative<int32_t>(like)) {
        int32_t value = 0;
        return in >> value ? std::optional<PropertyValue>(value) : std::nullopt;
    }
    if (std::holds_alternative<uint32_t>(like)) {
        uint32_t value = 0;
        if (!expect(in, '&') || !expect(in, 'H') || !(in >> std::hex >> value))
            return std::nullopt;
        return value;
    }
    if (std::holds_alternative<std::string>(like)) {
        std::string value;
        return readQuoted(in, value) ? std::optional<PropertyValue>(value) : std::nullopt;
    }
    std::string word;
    std::getline(in, word, '(');
    if (std::holds_alternative<FontChoice>(like)) {
        FontChoice font;
        if (word != "Font" || !readQuoted(in, font.name) || !expect(in, ',') || !(in >> font.points)
            || !expect(in, ',') || !readTruth(in, font.bold) || !expect(in, ',') || !readTruth(in, font.italic)
            || !expect(in, ',') || !readTruth(in, font.underline) || !expect(in, ',')
            || !readTruth(in, font.strikethrough))
            return std::nullopt;
        return font;
    }
    PictureData picture;
    if (word != "Picture" || !(in >> picture.width) || !expect(in, ',') || !(in >> picture.height)
        || !expect(in, ',') || picture.width < 0 || picture.height < 0)
        return std::nullopt;
    in >> std::ws;
    std::string hex;
    std::getline(in, hex, ')');
    const size_t count = size_t(picture.width) * size_t(picture.height);
    if (hex.size() != 8 * count)
        return std::nullopt;
    for (size_t i = 0; i < count; ++i)
        picture.pixels.push_back(uint32_t(std::stoul(hex.substr(8 * i, 8), nullptr, 16)));
    return picture;
}

}  // namespace

std::optional<PropertyBag> PropertyBag::load(const std::string& path)
{
    std::ifstream file(path);
    if (!file)
        return std::nullopt;
    PropertyBag bag;
    std::string line;
    while (std::getline(file, line)) {
        const size_t equals = line.find(" = ");
        if (equals == std::string::npos)
            continue;
        bag.entries_[line.substr(0, equals)] = line.substr(equals + 3);
    }
    return bag;
}

bool PropertyBag::save(const std::string& path) const
{
    const std::string partial = path + ".new";
    {
        std::ofstream file(partial, std::ios::trunc);
        for (const auto& [name, value] : entries_)
            file << name << " = " << value << '\n';
        if (!file.flush())
            return false;
    }
    return std::rename(partial.c_str(), path.c_str()) == 0;
}

PropertyValue PropertyBag::ReadProperty(const std::string& name, const PropertyValue& defaultValue) const
{
    const auto stored = entries_.find(name);
    if (stored == entries_.end())
        return defaultValue;
    return decode(stored->second, defaultValue).value_or(defaultValue);
}

void PropertyBag::WriteProperty(const std::string& name, const PropertyValue& value, const PropertyValue& defaultValue)
{
    if (value == defaultValue)
        entries_.erase(name);
    else
        entries_[name] = std::visit(Encoder{}, value);
}

std::vector<std::string> PropertyBag::names() const
{
    std::vector<std::string> names;
    for (const auto& entry : entries_)
        names.push_back(entry.first);
    return names;
}

}  // namespace ombrix
