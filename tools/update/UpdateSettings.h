#pragma once

#include <string>

#include "Updater.h"

// The updater's values in the settings store, at the top of the store.
namespace ombrix::update {

// "Update URL": the release's address for a user's own copy, used when no --url
// is given; empty when not set (update.conf's address is used then).
std::string StoredUpdateUrl();

// "Update Last Check" (local time, YYYY-MM-DD HH:MM:SS), "Update Status" (the
// exit status) and "Update Message" (the outcome in words).
void RecordCheck(const Outcome& outcome);

}  // namespace ombrix::update
