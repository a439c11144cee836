// The lock beside the archive's index file, between every program and thread
// that opens the index: each holds it shared while its connection is open, and
// a rebuild puts its new file in place only while holding it alone, so no open
// connection ever has its file (or the file's log beside it) replaced under it.
#pragma once

#include <chrono>
#include <filesystem>

class IndexLock {
public:
    explicit IndexLock(std::filesystem::path file) : file_(std::move(file)) {}
    IndexLock(const IndexLock &) = delete;
    IndexLock &operator=(const IndexLock &) = delete;
    ~IndexLock();

    /// Takes the lock shared or alone (a held lock changes its kind), waiting
    /// up to \a patience for the others; false when they still hold it.
    bool acquire(bool alone, std::chrono::milliseconds patience);
    void release();

private:
    std::filesystem::path file_;
    int descriptor_ = -1;
};
