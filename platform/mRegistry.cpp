#include "mRegistry.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <system_error>

namespace ombrix::mRegistry {
namespace {

namespace fs = std::filesystem;

// Long enough that a writer never gives up while another process holds the
// store for one operation.
constexpr int kBusyTimeoutMs = 10000;

// Version 1, as PRAGMA user_version records it. Keys exist on their own so that
// other programs can list them; '' is the top of the store.
constexpr const char* kSchema = R"(
CREATE TABLE keys (
    path TEXT PRIMARY KEY COLLATE NOCASE
);
CREATE TABLE key_values (
    key  TEXT NOT NULL COLLATE NOCASE REFERENCES keys (path),
    name TEXT NOT NULL COLLATE NOCASE,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    PRIMARY KEY (key, name)
);
INSERT INTO keys (path) VALUES ('');
PRAGMA user_version = 1;
)";

thread_local std::string lastError;

// Notes why a call fails; gives the empty connection or false the call returns.
std::nullptr_t failure(std::string why)
{
    lastError = std::move(why);
    return nullptr;
}

struct CloseConnection {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Connection = std::unique_ptr<sqlite3, CloseConnection>;

// A prepared statement whose parameters are bound in order. A statement that
// failed to prepare fails every step.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr); }
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
    int step() { return statement_ ? sqlite3_step(statement_) : SQLITE_ERROR; }

    sqlite3_int64 integerAt(int column) const { return sqlite3_column_int64(statement_, column); }
    std::string bytesAt(int column) const
    {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement_, column));
        return bytes ? std::string(bytes, sqlite3_column_bytes(statement_, column)) : std::string();
    }

private:
    sqlite3_stmt* statement_ = nullptr;
    int bound_ = 0;
};

bool run(sqlite3* db, const char* sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

enum class Schema { Ours, Empty, Foreign };

// Anything that is neither our schema nor a database without any content
// (including files that are no database at all) is Foreign and left untouched.
Schema schemaOf(sqlite3* db)
{
    Statement query(db, "SELECT (SELECT user_version FROM pragma_user_version),"
                        " (SELECT count(*) FROM sqlite_schema),"
                        " (SELECT count(*) FROM sqlite_schema"
                        "  WHERE type = 'table' AND name IN ('keys', 'key_values'))");
    if (query.step() != SQLITE_ROW)
        return Schema::Foreign;
    if (query.integerAt(0) == 1 && query.integerAt(2) == 2)
        return Schema::Ours;
    if (query.integerAt(0) == 0 && query.integerAt(1) == 0)
        return Schema::Empty;
    return Schema::Foreign;
}

// Creates the missing folders above the store, private to the user.
bool makeFolders(const fs::path& folder)
{
    std::error_code error;
    if (folder.empty() || fs::is_directory(folder, error))
        return true;
    if (!makeFolders(folder.parent_path()))
        return false;
    ::mkdir(folder.c_str(), 0700);  // another process may win the race; checked below
    return fs::is_directory(folder, error);
}

bool storeMissing(Hive hive)
{
    std::error_code error;
    return hive == HKEY_CURRENT_USER && fs::symlink_status(SettingsFile(), error).type() == fs::file_type::not_found;
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

// Read opens read-only; Change needs an existing store; Create also makes the
// file and its folders, and accepts an empty file whose schema the write
// transaction lays down.
enum class Access { Read, Change, Create };

// The one way into the store. Null when the hive is not the user's, the file
// cannot be opened, or it is not one of our stores.
Connection openStore(Hive hive, Access access)
{
    lastError.clear();
    const std::string file = SettingsFile();
    if (hive != HKEY_CURRENT_USER)
        return failure("no such hive");
    if (file.empty())
        return failure("neither OMBRIX_SETTINGS nor HOME is set");
    if (access == Access::Create && !makeFolders(fs::path(file).parent_path()))
        return failure("cannot make its folder: " + std::string(std::strerror(errno)));
    const int mode = access == Access::Read     ? SQLITE_OPEN_READONLY
                     : access == Access::Change ? SQLITE_OPEN_READWRITE
                                                : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    sqlite3* raw = nullptr;
    const int opened = sqlite3_open_v2(pathToOpen(file).c_str(), &raw, mode | SQLITE_OPEN_NOFOLLOW, nullptr);
    Connection db(raw);
    if (opened != SQLITE_OK) {
        const int error = raw ? sqlite3_system_errno(raw) : 0;
        return failure(error ? std::strerror(error) : sqlite3_errstr(opened));
    }
    sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
    const Schema schema = schemaOf(db.get());
    if (schema == Schema::Ours || (schema == Schema::Empty && access == Access::Create))
        return db;
    return failure("not an Ombrix settings store");
}

// Runs `change` inside one write transaction. True when it succeeded and was committed.
bool writeStore(Hive hive, Access access, const std::function<bool(sqlite3*)>& change)
{
    const Connection db = openStore(hive, access);
    if (!db)
        return false;
    if (!run(db.get(), "PRAGMA journal_mode = WAL") || !run(db.get(), "PRAGMA synchronous = FULL")
        || !run(db.get(), "BEGIN IMMEDIATE")) {
        failure(sqlite3_errmsg(db.get()));
        return false;
    }
    // Checked again under the write lock: another process may have laid down
    // the schema since the store was opened.
    const Schema schema = schemaOf(db.get());
    const bool ready = schema == Schema::Ours || (schema == Schema::Empty && run(db.get(), kSchema));
    if (ready && change(db.get()) && run(db.get(), "COMMIT"))
        return true;
    failure(sqlite3_errmsg(db.get()));
    run(db.get(), "ROLLBACK");
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

bool storeValue(Hive hive, const std::string& keyPath, const std::string& valueName, std::uint32_t type,
                const std::string& data)
{
    return writeStore(hive, Access::Create, [&](sqlite3* db) {
        const auto key = createKeys(db, keyPath);
        Statement upsert(db, "INSERT INTO key_values (key, name, type, data) VALUES (?, ?, ?, ?)"
                             " ON CONFLICT (key, name) DO UPDATE SET type = excluded.type, data = excluded.data");
        return key && upsert.text(*key).text(valueName).integer(type).blob(data).step() == SQLITE_DONE;
    });
}

}  // namespace

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
    const Connection db = openStore(hive, Access::Read);
    if (!db)
        return defaultText;
    Statement query(db.get(), "SELECT type, data FROM key_values WHERE key = ? AND name = ?");
    if (query.text(canonicalKeyPath(keyPath)).text(valueName).step() != SQLITE_ROW || query.integerAt(0) != REG_SZ)
        return defaultText;
    const std::string data = query.bytesAt(1);
    return data.substr(0, data.find('\0'));
}

bool WriteRegString(Hive hive, const std::string& keyPath, const std::string& valueName, const std::string& text)
{
    return storeValue(hive, keyPath, valueName, REG_SZ, text);
}

bool WriteRegDword(Hive hive, const std::string& keyPath, const std::string& valueName, std::uint32_t number)
{
    const std::string data{static_cast<char>(number & 0xff), static_cast<char>((number >> 8) & 0xff),
                           static_cast<char>((number >> 16) & 0xff), static_cast<char>(number >> 24)};
    return storeValue(hive, keyPath, valueName, REG_DWORD, data);
}

std::optional<std::vector<RegValue>> ListRegValues(Hive hive, const std::string& keyPath)
{
    const Connection db = openStore(hive, Access::Read);
    if (!db)
        return storeMissing(hive) ? std::optional(std::vector<RegValue>{}) : std::nullopt;
    Statement query(db.get(), "SELECT name, type, data FROM key_values WHERE key = ? ORDER BY name");
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
    lastError.clear();
    if (storeMissing(hive))
        return true;
    return writeStore(hive, Access::Change, [&](sqlite3* db) {
        Statement remove(db, "DELETE FROM key_values WHERE key = ? AND name = ?");
        return remove.text(canonicalKeyPath(keyPath)).text(valueName).step() == SQLITE_DONE;
    });
}

}  // namespace ombrix::mRegistry
