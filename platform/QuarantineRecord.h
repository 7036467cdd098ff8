#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Quarantine.h"

// How an entry lies in its store: a record file "ID.entry" that says what it is,
// written in full before its file moves, and the file itself as "ID.held".
namespace ombrix::quarantine {

std::string RecordName(const std::string& id);
std::string HeldName(const std::string& id);
// True when `text` is made the way NewId makes ids (letters, digits and '-'):
// an id from a command line is then never a path out of its store.
bool IsId(std::string_view text);
// The id a record's file name gives; empty when the name is no record's.
std::string IdOfRecord(std::string_view name);
// True for what an interrupted copy into a store leaves behind.
bool IsPartName(std::string_view name);
std::string PartName(const std::string& id);

// A fresh id: the taking time (UTC, so ids sort by it) and `random` in hex.
std::string NewId(std::int64_t takenAt, std::uint64_t random);

// The record of an entry comes in two parts. The start, written before the file
// moves, says where it came from, why, and what it looked like then; the end,
// written once the file is held, says what is held (its digest included) and
// closes the record. Later fields replace earlier ones.
std::string RecordStart(const Entry& entry);
std::string RecordEnd(const Entry& held);

// The entry a record describes (all but its id and store). nullopt when the text
// is no record, or when `complete` is asked for and its end was never written.
std::optional<Entry> ParseRecord(std::string_view text, bool complete = true);

}  // namespace ombrix::quarantine
