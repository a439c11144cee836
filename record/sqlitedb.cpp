#include "record/sqlitedb.h"

#include <sqlite3.h>

#include <utility>

SqliteStatement::SqliteStatement(SqliteStatement &&other) noexcept
    : db_(other.db_), statement_(std::exchange(other.statement_, nullptr)), busy_(other.busy_), failed_(other.failed_)
{
}

SqliteStatement &SqliteStatement::operator=(SqliteStatement &&other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(statement_);
        db_ = other.db_;
        statement_ = std::exchange(other.statement_, nullptr);
        busy_ = other.busy_;
        failed_ = other.failed_;
    }
    return *this;
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(statement_);
}

void SqliteStatement::bind(int index, std::int64_t value)
{
    sqlite3_bind_int64(statement_, index, value);
}

void SqliteStatement::bind(int index, std::string_view text)
{
    sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void SqliteStatement::bindNull(int index)
{
    sqlite3_bind_null(statement_, index);
}

bool SqliteStatement::step()
{
    if (!statement_)
        return false;
    const int status = sqlite3_step(statement_);
    if (status == SQLITE_ROW)
        return true;
    if (status != SQLITE_DONE) {
        failed_ = true;
        if (busy_ && ((status & 0xff) == SQLITE_BUSY || (status & 0xff) == SQLITE_LOCKED))
            *busy_ = true;
    }
    return false;
}

bool SqliteStatement::run()
{
    while (step()) {
    }
    const bool ok = statement_ && !failed_;
    reset();
    return ok;
}

void SqliteStatement::reset()
{
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

std::int64_t SqliteStatement::integer(int column) const
{
    return sqlite3_column_int64(statement_, column);
}

std::optional<std::int64_t> SqliteStatement::optionalInteger(int column) const
{
    if (sqlite3_column_type(statement_, column) == SQLITE_NULL)
        return std::nullopt;
    return sqlite3_column_int64(statement_, column);
}

std::string SqliteStatement::text(int column) const
{
    const unsigned char *bytes = sqlite3_column_text(statement_, column);
    return bytes ? std::string(reinterpret_cast<const char *>(bytes),
                               static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)))
                 : std::string();
}

SqliteDb::~SqliteDb()
{
    close();
}

bool SqliteDb::open(const std::filesystem::path &file)
{
    close();
    busy_ = false;
    if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr)
        != SQLITE_OK) {
        takeError();
        close();
        return false;
    }
    // An index another program is writing is waited for a few seconds, not failed at once.
    sqlite3_busy_timeout(db_, 3000);
    return true;
}

void SqliteDb::close()
{
    if (db_)
        sqlite3_close_v2(db_);
    db_ = nullptr;
}

bool SqliteDb::exec(const std::string &sql)
{
    if (!db_) {
        error_ = "no database";
        return false;
    }
    if (const int status = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr); status != SQLITE_OK) {
        noteStatus(status);
        takeError();
        return false;
    }
    return true;
}

SqliteStatement SqliteDb::prepare(const std::string &sql)
{
    sqlite3_stmt *statement = nullptr;
    const int status =
        db_ ? sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &statement, nullptr) : SQLITE_MISUSE;
    if (status != SQLITE_OK) {
        noteStatus(status);
        takeError();
        sqlite3_finalize(statement);
        return {};
    }
    return {db_, statement, &busy_};
}

std::optional<std::int64_t> SqliteDb::scalar(const std::string &sql)
{
    SqliteStatement statement = prepare(sql);
    if (!statement.step()) {
        if (statement.valid())
            takeError();
        return std::nullopt;
    }
    return statement.integer(0);
}

void SqliteDb::noteStatus(int status)
{
    if ((status & 0xff) == SQLITE_BUSY || (status & 0xff) == SQLITE_LOCKED)
        busy_ = true;
}

void SqliteDb::takeError()
{
    error_ = db_ ? sqlite3_errmsg(db_) : "out of memory";
}
