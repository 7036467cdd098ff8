#pragma once

#include "QuarantineAccess.h"

namespace ombrix {

// The user's real quarantine. Only the program links it: the window's library
// and its tests know the quarantine through QuarantineAccess alone.
class SystemQuarantine final : public QuarantineAccess {
public:
    std::vector<quarantine::Entry> list() override;
    quarantine::Result restore(const std::string& id, const quarantine::RestoreOptions& options) override;
    quarantine::Result remove(const std::string& id) override;
};

}  // namespace ombrix
