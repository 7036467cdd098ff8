#pragma once

#include "FontChoice.h"
#include "PictureData.h"

#include <cstdint>
#include <string>
#include <variant>

namespace ombrix {

// A saved property: colours as uint32_t, other numbers as int32_t, Booleans,
// UTF-8 strings, fonts and pictures.
using PropertyValue = std::variant<bool, int32_t, uint32_t, std::string, FontChoice, PictureData>;

// Where a control's holder keeps the control's saved properties.
class PropertyStore {
public:
    virtual ~PropertyStore() = default;

    // The stored value of name, or defaultValue when nothing of defaultValue's
    // type is stored under it.
    virtual PropertyValue ReadProperty(const std::string& name, const PropertyValue& defaultValue) const = 0;
    // Stores value under name only when it differs from defaultValue, so a
    // property at its default leaves no entry.
    virtual void WriteProperty(const std::string& name, const PropertyValue& value, const PropertyValue& defaultValue) = 0;
};

}  // namespace ombrix
