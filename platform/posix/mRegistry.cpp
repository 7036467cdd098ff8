#include "mRegistry.h"
#include "RegistryValues.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <system_error>

#include "StoreFile.h"
#include "StoreWait.h"

namespace ombrix::mRegistry {
namespace {

namespace fs = std::filesystem;

// Long enough that a call never gives up while another process holds the
// store for one operation; short enough that a stuck holder cannot hang a run.
constexpr std::chrono::seconds kWaitLimit{10};

// The tables of version 1, spelled exactly as the store keeps them: a store
// without our application_id is taken as ours only when its tables read so.
// Keys exist on their own so that other programs can list them; '' is the top.
constexpr const char* kKeysTable = R"(CREATE TABLE keys (
    path TEXT PRIMARY KEY COLLATE NOCASE
))";
constexpr const char* kValuesTable = R"(CREATE TABLE key_values (
    key  TEXT NOT NULL COLLATE NOCASE REFERENCES keys (path),
    name TEXT NOT NULL COLLATE NOCASE,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    PRIMARY KEY (key, name)
))";

std::string markAsOurs()
{
    return "PRAGMA application_id = " + std::to_string(kApplicationId);
}

std::string schemaScript()
{
    return std::string(kKeysTable) + ";\n" + kValuesTable + ";\nINSERT INTO keys (path) VALUES ('');\n" +
           "PRAGMA user_version = 1;\n" + markAsOurs() + ";\n";
}

thread_local std::string lastError;

struct CloseConnection {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Connection = std::unique_ptr<sqlite3, CloseConnection>;

// Why the store failed, taken as it fails: any later call, a successful one
// included, replaces what sqlite3_errmsg says ("not an error").
void noteError(sqlite3* db)
{
    if (lastError.empty())
        lastError = sqlite3_errmsg(db);
}

// A prepared statement whose parameters are bound in order. A statement that
// failed to prepare fails every step.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) : db_(db)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr) != SQLITE_OK)
            noteError(db);
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Texts are bound as they are: bytes that are not UTF-8 are kept, not converted.
    Statement& text(const std::string& value)
    {
        sqlite3_bind_text64(statement_, ++bound_, value.data(), value.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
        return *this;
    }
    Statement& blob(const std::string& value)
    {
        sqlite3_bind_blob64(statement_, ++bound_, value.data(), value.size(), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& integer(sqlite3_int64 value)
    {
        sqlite3_bind_int64(statement_, ++bound_, value);
        return *this;
    }

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step()
    {
        const int result = statement_ ? sqlite3_step(statement_) : SQLITE_ERROR;
        if (result != SQLITE_ROW && result != SQLITE_DONE)
            noteError(db_);
        return result;
    }

    sqlite3_int64 integerAt(int column) const { return sqlite3_column_int64(statement_, column); }
    std::string bytesAt(int column) const
    {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement_, column));
        return bytes ? std::string(bytes, sqlite3_column_bytes(statement_, column)) : std::string();
    }

private:
    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
    int bound_ = 0;
};

bool run(sqlite3* db, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    noteError(db);
    return false;
}

// Another process holds the store: wait as the thread's StoreWait allows.
int waitForLock(void*, int attempt)
{
    StoreWait* wait = StoreWait::active();
    return wait && wait->pause(attempt);
}

Connection connect(const std::string& path, int flags)
{
    sqlite3* raw = nullptr;
    const int opened = sqlite3_open_v2(path.c_str(), &raw, flags | SQLITE_OPEN_NOFOLLOW, nullptr);
    Connection db(raw);
    if (opened != SQLITE_OK) {
        const int error = raw ? sqlite3_system_errno(raw) : 0;
        lastError = error ? std::strerror(error) : sqlite3_errstr(opened);
        return nullptr;
    }
    sqlite3_busy_handler(db.get(), waitForLock, nullptr);
    return db;
}

enum class Schema { Ours, Empty, Foreign };

// Ours is version 1 with our tables, marked as ours or (made by an earlier
// version) not marked at all; Empty is a database without anything in it.
// nullopt when the store cannot be read now (held too long by another process, say).
std::optional<Schema> schemaOf(sqlite3* db)
{
    Statement query(db, "SELECT (SELECT application_id FROM pragma_application_id),"
                        " (SELECT user_version FROM pragma_user_version),"
                        " (SELECT count(*) FROM sqlite_schema),"
                        " (SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND sql IN (?, ?))");
    query.text(kKeysTable).text(kValuesTable);
    if (query.step() != SQLITE_ROW)
        return std::nullopt;
    const auto id = query.integerAt(0);
    if (id != kApplicationId && id != 0)
        return Schema::Foreign;
    if (query.integerAt(1) == 0 && query.integerAt(2) == 0)
        return Schema::Empty;
    return query.integerAt(1) == 1 && query.integerAt(3) == 2 ? Schema::Ours : Schema::Foreign;
}

// SQLite's NOFOLLOW refuses a link anywhere in the path, but only the store
// file itself must not be one: the folders above it (a linked ~/.config) are resolved.
std::string pathToOpen(const std::string& file)
{
    const fs::path path(file);
    std::error_code error;
    const fs::path folder = fs::canonical(path.has_parent_path() ? path.parent_path() : ".", error);
    return error ? file : (folder / path.filename()).string();
}

std::string uriOf(const std::string& path)
{
    std::string uri = "file:";
    for (const char c : path) {
        if (c == '%' || c == '?' || c == '#') {
            static constexpr char kDigits[] = "0123456789ABCDEF";
            uri += {'%', kDigits[static_cast<unsigned char>(c) >> 4], kDigits[c & 0xf]};
        } else {
            uri += c;
        }
    }
    return uri;
}

// A database without an application_id, looked at read-only, when it is a
// store an earlier version made: its tables, or none at all in a database that
// keeps a write-ahead log (an earlier version turned that on before laying down
// the tables, so a first write cut short left such a database). One that keeps
// a write-ahead log but has no log file beside it is read as it lies, so no
// file appears beside a database of another program.
Connection earlierStore(const std::string& path, bool walMode)
{
    std::error_code error;
    const bool asItLies = walMode && !fs::exists(path + "-wal", error);
    Connection db = asItLies ? connect(uriOf(path) + "?immutable=1", SQLITE_OPEN_READONLY | SQLITE_OPEN_URI)
                             : connect(path, SQLITE_OPEN_READONLY);
    const auto schema = db ? schemaOf(db.get()) : std::nullopt;
    if (schema == Schema::Ours || (schema == Schema::Empty && walMode))
        return db;
    if (schema)
        lastError = "not an Ombrix settings store";
    return nullptr;
}

// Read and Change need an existing store; Create also makes the file and its
// folders, and accepts an empty store, whose tables the write lays down.
enum class Access { Read, Change, Create };

// The store opened for one call. With `db` null the store either holds no
// values (missing, or empty) or cannot be used (`failed`, lastError says why).
struct OpenStore {
    Connection db;
    bool failed = false;
    // Made by an earlier version: the next write marks it as ours and ends its write-ahead log.
    bool earlier = false;
};

OpenStore failure(std::string why)
{
    lastError = std::move(why);
    return {nullptr, true};
}

OpenStore openStore(Hive hive, Access access)
{
    lastError.clear();
    if (hive != HKEY_CURRENT_USER)
        return failure("no such hive");
    const std::string file = SettingsFile();
    if (file.empty())
        return failure("neither OMBRIX_SETTINGS nor HOME is set");
    std::string path = pathToOpen(file);
    StoreFile found = InspectStoreFile(path);
    if (found.kind == StoreKind::Missing && access == Access::Create) {
        if (std::string why = CreateStoreFile(path); !why.empty())
            return failure(std::move(why));
        path = pathToOpen(file);
        found = InspectStoreFile(path);
    }
    if (found.kind == StoreKind::Missing || (found.kind == StoreKind::Empty && access != Access::Create))
        return {};
    if (found.kind == StoreKind::Refused)
        return failure(found.why);
    Connection earlier;
    if (found.kind == StoreKind::Unmarked && !(earlier = earlierStore(path, found.walMode)))
        return {nullptr, true};
    // Read-write where the file allows it, even to read, so that the journal of
    // a write cut short is rolled back rather than blocking the read.
    Connection db = connect(path, SQLITE_OPEN_READWRITE);
    auto schema = db ? schemaOf(db.get()) : std::nullopt;
    // An earlier version's store where the reader cannot make its write-ahead
    // log's files: the look taken above reads it.
    if (!schema && earlier && access == Access::Read) {
        lastError.clear();
        db = std::move(earlier);
        schema = schemaOf(db.get());
    }
    if (!schema)
        return {nullptr, true};
    if (*schema == Schema::Foreign)
        return failure("not an Ombrix settings store");
    if (*schema == Schema::Empty && access != Access::Create)
        return {};
    return {std::move(db), false, found.kind == StoreKind::Unmarked};
}

// Runs `change` inside one write transaction. True when it succeeded and was
// committed, and for Change also when the store holds no values to change.
bool writeStore(Hive hive, Access access, const std::function<bool(sqlite3*)>& change)
{
    const StoreWait wait(kWaitLimit);
    const OpenStore store = openStore(hive, access);
    if (!store.db)
        return !store.failed;
    sqlite3* db = store.db.get();
    // The store leaves WAL so that readers without write permission can read
    // it; while another process has it open this fails and a later write tries again.
    if (store.earlier && !run(db, "PRAGMA journal_mode = DELETE"))
        lastError.clear();
    if (!run(db, "PRAGMA synchronous = FULL") || !run(db, "BEGIN IMMEDIATE"))
        return false;
    // Checked again under the write lock: another process may have laid down
    // the tables since the store was opened, or a first write cut short may
    // have been rolled back.
    const auto schema = schemaOf(db);
    if (schema == Schema::Empty && access == Access::Change)
        return run(db, "ROLLBACK");
    if (schema == Schema::Foreign) {
        lastError = "not an Ombrix settings store";
    } else if (schema) {
        if ((schema == Schema::Ours || run(db, schemaScript().c_str()))
            && (!store.earlier || run(db, markAsOurs().c_str())) && change(db) && run(db, "COMMIT"))
            return true;
        noteError(db);
    }
    run(db, "ROLLBACK");
    return false;
}

// Key names between `\`. Empty names (from a leading, trailing or doubled `\`)
// are passed over, so "\A\" is the key A.
std::vector<std::string> keyNames(const std::string& keyPath)
{
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= keyPath.size()) {
        const std::size_t end = std::min(keyPath.find('\\', start), keyPath.size());
        if (end > start)
            names.push_back(keyPath.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

std::string canonicalKeyPath(const std::string& keyPath)
{
    std::string path;
    for (const std::string& name : keyNames(keyPath))
        path += (path.empty() ? "" : "\\") + name;
    return path;
}

// Creates the missing keys along `keyPath`. Returns the path as stored, each
// key spelled as whoever created it first; nullopt on failure.
std::optional<std::string> createKeys(sqlite3* db, const std::string& keyPath)
{
    std::string stored;
    for (const std::string& name : keyNames(keyPath)) {
        const std::string path = stored.empty() ? name : stored + '\\' + name;
        Statement insert(db, "INSERT INTO keys (path) VALUES (?) ON CONFLICT DO NOTHING");
        Statement spelling(db, "SELECT path FROM keys WHERE path = ?");
        if (insert.text(path).step() != SQLITE_DONE || spelling.text(path).step() != SQLITE_ROW)
            return std::nullopt;
        stored = spelling.bytesAt(0);
    }
    return stored;
}

}  // namespace

bool StoreRegValue(Hive hive, const std::string& keyPath, const std::string& valueName, std::uint32_t type,
                   const std::string& data)
{
    return writeStore(hive, Access::Create, [&](sqlite3* db) {
        const auto key = createKeys(db, keyPath);
        Statement upsert(db, "INSERT INTO key_values (key, name, type, data) VALUES (?, ?, ?, ?)"
                             " ON CONFLICT (key, name) DO UPDATE SET type = excluded.type, data = excluded.data");
        return key && upsert.text(*key).text(valueName).integer(type).blob(data).step() == SQLITE_DONE;
    });
}

std::string SettingsFile()
{
    const auto variable = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    };
    if (std::string file = variable("OMBRIX_SETTINGS"); !file.empty())
        return file;
    std::string config = variable("XDG_CONFIG_HOME");
    if (config.empty()) {
        const std::string home = variable("HOME");
        if (home.empty())
            return {};
        config = home + "/.config";
    }
    return config + "/ombrix/settings.db";
}

std::string ReadRegString(Hive hive, const std::string& keyPath, const std::string& valueName,
                          const std::string& defaultText)
{
    const StoreWait wait(kWaitLimit);
    const OpenStore store = openStore(hive, Access::Read);
    if (!store.db)
        return defaultText;
    Statement query(store.db.get(), "SELECT type, data FROM key_values WHERE key = ? AND name = ?");
    if (query.text(canonicalKeyPath(keyPath)).text(valueName).step() != SQLITE_ROW || query.integerAt(0) != REG_SZ)
        return defaultText;
    const std::string data = query.bytesAt(1);
    return data.substr(0, data.find('\0'));
}

std::optional<std::vector<RegValue>> ListRegValues(Hive hive, const std::string& keyPath)
{
    const StoreWait wait(kWaitLimit);
    const OpenStore store = openStore(hive, Access::Read);
    if (!store.db)
        return store.failed ? std::nullopt : std::optional(std::vector<RegValue>{});
    Statement query(store.db.get(), "SELECT name, type, data FROM key_values WHERE key = ? ORDER BY name");
    query.text(canonicalKeyPath(keyPath));
    std::vector<RegValue> values;
    int stepped = SQLITE_ROW;
    while ((stepped = query.step()) == SQLITE_ROW)
        values.push_back({query.bytesAt(0), static_cast<std::uint32_t>(query.integerAt(1)), query.bytesAt(2)});
    if (stepped != SQLITE_DONE)
        return std::nullopt;
    return values;
}

std::string LastRegError()
{
    return lastError;
}

bool DeleteRegValue(Hive hive, const std::string& keyPath, const std::string& valueName)
{
    return writeStore(hive, Access::Change, [&](sqlite3* db) {
        Statement remove(db, "DELETE FROM key_values WHERE key = ? AND name = ?");
        return remove.text(canonicalKeyPath(keyPath)).text(valueName).step() == SQLITE_DONE;
    });
}

}  // namespace ombrix::mRegistry
