#pragma once

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "NativePath.h"
#include "TimeZone.h"
#include "frmQuarantine.h"

namespace ombrix::test {

// Everything the quarantine window does to the world outside it, in the order done.
using Log = std::vector<std::string>;

// A quarantine, the user's answers, message boxes and the file manager, all
// recording into one log. Restores succeed unless `outcomes` says otherwise.
class QuarantineWorld final : public QuarantineAccess, public Questions, public MessageBox, public FileManager {
public:
    std::vector<quarantine::Entry> list() override { return entries; }

    quarantine::Result restore(const std::string& id, const quarantine::RestoreOptions& options) override
    {
        log.push_back("restore " + id + (options.to ? " to " + slashed(*options.to) : "") +
                      (options.makeParents ? " making folders" : ""));
        quarantine::Outcome outcome = quarantine::Outcome::Done;
        if (!outcomes[id].empty()) {
            outcome = outcomes[id].front();
            outcomes[id].pop_front();
        }
        // NoSuchEntry: someone else restored or deleted it meanwhile.
        if (outcome == quarantine::Outcome::Done || outcome == quarantine::Outcome::NoSuchEntry)
            forget(id);
        return {outcome, options.to.value_or(""), "Permission denied"};
    }

    quarantine::Result remove(const std::string& id) override
    {
        log.push_back("delete " + id);
        if (undeletable.contains(id))
            return {quarantine::Outcome::Failed, "", "Read-only file system"};
        forget(id);
        return {quarantine::Outcome::Done, "", ""};
    }

    bool confirm(const std::string& text) override
    {
        log.push_back("confirm " + slashed(text));
        const bool yes = !confirmations.empty() && confirmations.front();
        if (!confirmations.empty())
            confirmations.pop_front();
        return yes;
    }

    std::optional<std::string> saveAs(const std::string& title, const std::string& suggestedPath) override
    {
        log.push_back("save as: " + title + " [" + slashed(suggestedPath) + "]");
        std::optional<std::string> chosen;
        if (!savePaths.empty()) {
            if (savePaths.front())
                chosen = native(*savePaths.front());
            savePaths.pop_front();
        }
        return chosen;
    }

    void show(const std::string& text) override { log.push_back("message " + slashed(text)); }
    void open(const std::string& folder) override { log.push_back("open " + slashed(folder)); }

    // The log spells paths with "/" on every platform.
    static std::string slashed(std::string text)
    {
        for (char& c : text) {
            if (c == kPathSeparator)
                c = '/';
        }
        return text;
    }

    // An entry taken `minutesAgo` before a fixed moment (2026-12-06 12:00 UTC),
    // from `path` spelt with "/".
    void add(const std::string& id, const std::string& path, std::uint64_t size, int minutesAgo,
             const std::string& threat = "Trojan.A")
    {
        quarantine::Entry entry;
        entry.id = id;
        entry.originalPath = native(path);
        entry.size = size;
        entry.threat = threat;
        entry.takenAt = (1'796'558'400LL - minutesAgo * 60LL) * 1'000'000'000LL;
        entries.push_back(entry);
    }

    void forget(const std::string& id)
    {
        std::erase_if(entries, [&](const quarantine::Entry& entry) { return entry.id == id; });
    }

    std::vector<quarantine::Entry> entries;
    std::map<std::string, std::deque<quarantine::Outcome>> outcomes;
    std::set<std::string> undeletable;
    std::deque<bool> confirmations;
    std::deque<std::optional<std::string>> savePaths;
    Log log;
};

// A form over a recording world; dates show in UTC.
class QuarantineFixture {
public:
    QuarantineFixture() { useUtc(); }

    // The column `column` of every row, top to bottom, paths spelt with "/".
    std::vector<std::string> column(QuarantineColumn column) const
    {
        std::vector<std::string> texts;
        for (const QuarantineRow& row : form.rows())
            texts.push_back(QuarantineWorld::slashed(row.texts[static_cast<std::size_t>(column)]));
        return texts;
    }

    std::size_t rowOf(const std::string& id) const
    {
        for (std::size_t row = 0; row < form.rows().size(); ++row) {
            if (form.rows()[row].entry.id == id)
                return row;
        }
        return form.rows().size();
    }

    void selectOnly(std::initializer_list<const char*> ids)
    {
        for (std::size_t row = 0; row < form.rows().size(); ++row)
            form.select(row, false);
        for (const char* id : ids)
            form.select(rowOf(id), true);
    }

    QuarantineWorld world;
    frmQuarantine form{world, world, world, world};
};

}  // namespace ombrix::test
