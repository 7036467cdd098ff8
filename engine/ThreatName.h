#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace ombrix {

// A finding's threat name, shared by every finding of one list entry: a name
// joined from many lines of the list can run to megabytes, and a copy per row
// would make memory grow with the findings times the list.
class ThreatName {
public:
    ThreatName() = default;
    explicit ThreatName(std::string_view text) : text_(std::make_shared<const std::string>(text)) {}

    const std::string& text() const
    {
        static const std::string empty;
        return text_ ? *text_ : empty;
    }

    friend bool operator==(const ThreatName& a, const ThreatName& b)
    {
        return a.text_ == b.text_ || a.text() == b.text();
    }
    friend bool operator==(const ThreatName& a, std::string_view b) { return a.text() == b; }

private:
    std::shared_ptr<const std::string> text_;
};

}  // namespace ombrix
