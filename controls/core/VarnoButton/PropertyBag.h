#pragma once

#include "PropertyStore.h"

#include <map>
#include <optional>
#include <vector>

namespace ombrix {

// A property store saved as a text file, one "Name = value" line per entry:
// numbers in decimal (colours with a leading "&H" in hex), Booleans as True or
// False, strings in double quotes with \" \\ \n escapes, a font as
// Font("name", points, bold, italic, underline, strikethrough) and a picture
// as Picture(width, height, hex pixels). A line it cannot read is passed over.
class PropertyBag final : public PropertyStore {
public:
    // The bag saved in the file at path; nullopt when the file cannot be read.
    static std::optional<PropertyBag> load(const std::string& path);
    // Writes the bag to path, replacing the file in one step; false on failure.
    bool save(const std::string& path) const;

    PropertyValue ReadProperty(const std::string& name, const PropertyValue& defaultValue) const override;
    void WriteProperty(const std::string& name, const PropertyValue& value, const PropertyValue& defaultValue) override;

    // Names of the stored entries, sorted.
    std::vector<std::string> names() const;

private:
    // Each value as the line holds it: its type is known only when it is read.
    std::map<std::string, std::string> entries_;
};

}  // namespace ombrix
