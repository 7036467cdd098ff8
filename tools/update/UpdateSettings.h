#pragma once

#include <string>

#include "Updater.h"

// The updater's values in the settings store, at the top of the store.
namespace ombrix::update {

// "Update URL": where the list is fetched from when no --url is given.
std::string StoredUpdateUrl();

// What a conditional download of the list may send: the validators of the last
// success, valid only for the address and installed list version they came with.
struct Validators {
    std::string source;   // "Update Source"
    std::string version;  // "Update Version"
    std::string etag;     // "Update ETag"
    std::string lastModified;  // "Update Last-Modified"
};
Validators StoredValidators();
void StoreValidators(const Validators& validators);

// "Update Last Check" (local time, YYYY-MM-DD HH:MM:SS), "Update Status" (the
// exit status) and "Update Message" (the outcome in words).
void RecordCheck(const Outcome& outcome);

}  // namespace ombrix::update
