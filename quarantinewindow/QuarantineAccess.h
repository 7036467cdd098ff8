#pragma once

#include <string>
#include <vector>

#include "Quarantine.h"

namespace ombrix {

// What the quarantine window asks of the quarantine; tests answer with a fake.
class QuarantineAccess {
public:
    virtual ~QuarantineAccess() = default;
    virtual std::vector<quarantine::Entry> list() = 0;
    virtual quarantine::Result restore(const std::string& id, const quarantine::RestoreOptions& options) = 0;
    virtual quarantine::Result remove(const std::string& id) = 0;
};

}  // namespace ombrix
