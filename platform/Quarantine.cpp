#include "Quarantine.h"

#include <algorithm>
#include <charconv>

#include "QuarantineRecord.h"
#include "StoreFolder.h"
#include "mRegistry.h"

namespace ombrix::quarantine {

namespace {

constexpr const char* kLimitValue = "Quarantine Limit";
constexpr std::uint64_t kMegabyte = 1024 * 1024;

// What an interrupted take, restore or delete left: a record whose file never
// arrived or has already gone is dropped, a copy cut short is removed, and a
// record whose file arrived is completed from the file, which is then made harmless.
void recover(const StoreFolder& store)
{
    for (const std::string& name : store.names()) {
        if (IsPartName(name)) {
            store.remove(name);
            continue;
        }
        const std::string id = IdOfRecord(name);
        const std::optional<std::string> text = id.empty() ? std::nullopt : store.read(name);
        if (!text)
            continue;
        const bool held = store.holds(HeldName(id));
        if (!held || !ParseRecord(*text, false)) {
            store.remove(name);
            continue;
        }
        if (!ParseRecord(*text)) {
            const std::optional<Entry> facts = store.describe(HeldName(id));
            if (!facts || !store.append(name, RecordEnd(*facts)))
                continue;
        }
        store.seal(HeldName(id));
    }
}

std::vector<Entry> entriesOf(const StoreFolder& store)
{
    std::vector<Entry> entries;
    for (const std::string& name : store.names()) {
        const std::string id = IdOfRecord(name);
        const std::optional<std::string> text = id.empty() ? std::nullopt : store.read(name);
        std::optional<Entry> entry = text ? ParseRecord(*text) : std::nullopt;
        if (!entry)
            continue;
        entry->id = id;
        entry->store = store.path();
        entry->ownFileSystem = store.ownFileSystem();
        entries.push_back(std::move(*entry));
    }
    return entries;
}

bool olderFirst(const Entry& a, const Entry& b)
{
    return a.takenAt != b.takenAt ? a.takenAt < b.takenAt : a.id < b.id;
}

// The stores found when last looked for; looked for again when an id is not
// in any of them, so a run of restores does not read the mount table each time.
std::vector<StoreFolder>& knownStores(bool refresh)
{
    static std::vector<StoreFolder> stores;
    static bool found = false;
    if (refresh || !found) {
        stores = StoreFolder::All();
        found = true;
    }
    return stores;
}

// Runs `action` on the entry `id` with its store locked. A record whose file
// an interruption took away again is dropped on the way.
template <typename Action>
Result withEntry(const std::string& id, Action action)
{
    if (!IsId(id))
        return {Outcome::NoSuchEntry, {}, {}};
    for (const bool refresh : {false, true}) {
        for (const StoreFolder& store : knownStores(refresh)) {
            if (!store.holds(RecordName(id)))
                continue;
            const StoreLock lock(store);
            const std::optional<std::string> text = store.read(RecordName(id));
            std::optional<Entry> entry = text ? ParseRecord(*text) : std::nullopt;
            if (!entry || !store.holds(HeldName(id))) {
                store.remove(RecordName(id));
                return {Outcome::NoSuchEntry, {}, {}};
            }
            entry->id = id;
            entry->store = store.path();
            entry->ownFileSystem = store.ownFileSystem();
            return action(store, *entry);
        }
    }
    return {Outcome::NoSuchEntry, {}, {}};
}

Result forget(const StoreFolder& store, const Entry& entry)
{
    if (!store.remove(HeldName(entry.id)) && store.holds(HeldName(entry.id)))
        return {Outcome::Failed, entry.originalPath, "the held file cannot be removed"};
    store.remove(RecordName(entry.id));
    return {Outcome::Done, entry.originalPath, {}};
}

}  // namespace

std::vector<Entry> List()
{
    std::vector<Entry> all;
    for (const StoreFolder& store : knownStores(true)) {
        const StoreLock lock(store);
        recover(store);
        std::vector<Entry> entries = entriesOf(store);
        std::move(entries.begin(), entries.end(), std::back_inserter(all));
    }
    std::sort(all.begin(), all.end(), olderFirst);
    return all;
}

Result Restore(const std::string& id, const RestoreOptions& options)
{
    return withEntry(id, [&](const StoreFolder& store, const Entry& entry) {
        Result result = store.putBack(entry, options.to.value_or(entry.originalPath), options.makeParents);
        // A copy leaves the held file behind; a rename has taken it.
        if (result.outcome == Outcome::Done)
            forget(store, entry);
        return result;
    });
}

Result Delete(const std::string& id)
{
    return withEntry(id, forget);
}

std::size_t PurgeTakenBefore(std::int64_t takenBefore)
{
    std::size_t gone = 0;
    for (const Entry& entry : List())
        if (entry.takenAt < takenBefore && Delete(entry.id).outcome == Outcome::Done)
            ++gone;
    return gone;
}

std::uint64_t SizeLimit()
{
    const std::string text = mRegistry::ReadRegString(mRegistry::HKEY_CURRENT_USER, "", kLimitValue, "0");
    std::uint64_t megabytes = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), megabytes);
    if (error != std::errc() || end != text.data() + text.size() || megabytes > UINT64_MAX / kMegabyte)
        return 0;
    return megabytes * kMegabyte;
}

bool SetSizeLimit(std::uint64_t bytes)
{
    const std::uint64_t megabytes = (bytes + kMegabyte - 1) / kMegabyte;
    return mRegistry::WriteRegString(mRegistry::HKEY_CURRENT_USER, "", kLimitValue, std::to_string(megabytes));
}

std::size_t EnforceSizeLimit()
{
    const std::uint64_t limit = SizeLimit();
    if (limit == 0)
        return 0;
    const std::vector<Entry> entries = List();
    std::uint64_t total = 0;
    for (const Entry& entry : entries)
        total += entry.size;
    std::size_t gone = 0;
    for (auto entry = entries.begin(); entry != entries.end() && total > limit; ++entry) {
        if (Delete(entry->id).outcome != Outcome::Done)
            continue;
        total -= entry->size;
        ++gone;
    }
    return gone;
}

}  // namespace ombrix::quarantine
