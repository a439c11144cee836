// A thin owner of an SQLite connection and its prepared statements: handles
// are closed by destructors, errors come back as false and a message, never
// as an exception or a crash.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

class SqliteStatement {
public:
    SqliteStatement() = default;
    SqliteStatement(sqlite3 *db, sqlite3_stmt *statement, bool *busy)
        : db_(db), statement_(statement), busy_(busy)
    {
    }
    SqliteStatement(SqliteStatement &&other) noexcept;
    SqliteStatement &operator=(SqliteStatement &&other) noexcept;
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;
    ~SqliteStatement();

    bool valid() const { return statement_ != nullptr; }
    /// Parameters count from 1.
    void bind(int index, std::int64_t value);
    void bind(int index, std::string_view text);
    void bindNull(int index);
    /// True while a row is there; false when done or on an error (see failed()).
    bool step();
    /// Runs to the end; false on an error.
    bool run();
    void reset();
    bool failed() const { return failed_; }

    std::int64_t integer(int column) const;
    std::optional<std::int64_t> optionalInteger(int column) const;
    std::string text(int column) const;

private:
    sqlite3 *db_ = nullptr;
    sqlite3_stmt *statement_ = nullptr;
    bool *busy_ = nullptr; ///< the connection's: set when a step finds the file busy or locked
    bool failed_ = false;
};

class SqliteDb {
public:
    SqliteDb() = default;
    SqliteDb(const SqliteDb &) = delete;
    SqliteDb &operator=(const SqliteDb &) = delete;
    ~SqliteDb();

    /// Opens (or creates) \a file; false with SQLite's reason in error().
    bool open(const std::filesystem::path &file);
    void close();
    bool isOpen() const { return db_ != nullptr; }

    /// One or more statements without results; false with the reason in error().
    bool exec(const std::string &sql);
    /// An invalid statement, with the reason in error(), when \a sql does not compile.
    SqliteStatement prepare(const std::string &sql);
    /// The single integer \a sql gives; nullopt on an error.
    std::optional<std::int64_t> scalar(const std::string &sql);

    const std::string &error() const { return error_; }
    /// Whether a call since open() failed because another connection held
    /// the file (busy or locked past the wait): no sign of a damaged file.
    bool busy() const { return busy_; }

private:
    void takeError();
    void noteStatus(int status);

    sqlite3 *db_ = nullptr;
    bool busy_ = false;
    std::string error_;
};
