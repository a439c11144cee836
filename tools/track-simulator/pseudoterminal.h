// A pseudo-terminal in raw mode standing in for the serial port: bytes
// written to its master side reach a reader of the slave device unchanged
// (no CR LF translation, no echo). Optionally reachable through a symlink
// that is removed again when the terminal is closed.
#pragma once

#include <string>

class PseudoTerminal {
public:
    PseudoTerminal() = default;
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;
    ~PseudoTerminal();

    /// Opens the terminal; on failure returns false with the reason in \a error.
    bool open(std::string &error);
    /// Points \a linkPath at the slave device. A symlink there to another
    /// pseudo-terminal (left by a run that was killed) is replaced; any other
    /// file is left alone and the link fails.
    bool link(const std::string &linkPath, std::string &error);

    const std::string &devicePath() const { return devicePath_; }
    /// The master side, non-blocking.
    int masterFd() const { return master_; }

private:
    int master_ = -1;
    // Held open so the line stays up between readers and keeps its raw mode.
    int slave_ = -1;
    std::string devicePath_;
    std::string linkPath_;
};
