// The track simulator's replay of a damaged capture, run as the program it
// is: the lines before the damage reach the terminal, then the simulator
// names the byte and the cause and ends with exit status 2.
#include "record/linecapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <fcntl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string lapRecord(int channel, std::uint32_t timestamp)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02d90000%010u\r\n", channel, timestamp);
    return text;
}

void appendChunk(std::string &file, char kind, std::uint32_t atMs, const std::string &bytes)
{
    file += kind;
    for (std::uint32_t value : {atMs, static_cast<std::uint32_t>(bytes.size())})
        for (int shift = 0; shift < 32; shift += 8)
            file += static_cast<char>((value >> shift) & 0xFF);
    file += bytes;
}

struct Folder {
    Folder()
    {
        std::string pattern = (fs::temp_directory_path() / "tramelo-replay-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~Folder() { fs::remove_all(path); }
    fs::path path;
};

/// Everything the terminal \a device gives until the simulator, its other
/// end, closes it (a read then fails with EIO).
std::string readUntilClosed(const std::string &device)
{
    const int fd = ::open(device.c_str(), O_RDONLY | O_NOCTTY);
    if (fd < 0)
        return "cannot open " + device;
    termios raw{};
    ::tcgetattr(fd, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(fd, TCSANOW, &raw);
    std::string got;
    char bytes[4096];
    for (ssize_t n; (n = ::read(fd, bytes, sizeof bytes)) > 0 || (n < 0 && errno == EINTR);)
        got.append(bytes, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
    ::close(fd);
    return got;
}

} // namespace

// Channel 1 laps every 100 ms of capture time; the chunk a third of the way
// in has a kind no writer makes. The first third's records are played (but
// the first, which the replay takes for a fragment the capture began with),
// none after the damage, and the simulator says where and why it stopped.
TEST(ReplayOfADamagedCapture, PlaysEverythingBeforeTheDamageThenStopsSayingWhereAndWhy)
{
    Folder folder;
    std::string capture(kLineCaptureMagic);
    std::size_t damagedAt = 0;
    for (std::uint32_t lap = 0; lap < 30; ++lap) {
        if (lap == 10)
            damagedAt = capture.size();
        appendChunk(capture, lap == 10 ? 'Z' : 'B', 100 * lap, lapRecord(1, 5000 + 1000 * lap));
    }
    std::ofstream(folder.path / std::string(kLineCaptureFileName), std::ios::binary) << capture;
    std::ofstream(folder.path / "go") << "";

    const std::string errors = (folder.path / "stderr.txt").string();
    const std::string command = std::string(TRACK_SIMULATOR) + " --replay " + folder.path.string() + " --go "
                                + (folder.path / "go").string() + " </dev/null 2>" + errors;
    std::FILE *simulator = ::popen(command.c_str(), "r");
    ASSERT_NE(simulator, nullptr);
    char device[256] = {};
    ASSERT_NE(std::fgets(device, sizeof device, simulator), nullptr) << "the simulator printed no terminal";
    device[std::strcspn(device, "\n")] = '\0';
    const std::string line = readUntilClosed(device);
    const int status = ::pclose(simulator);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 2);
    for (std::uint32_t lap = 1; lap < 10; ++lap)
        EXPECT_NE(line.find(lapRecord(1, 5000 + 1000 * lap)), std::string::npos) << "lap " << lap;
    for (std::uint32_t lap = 10; lap < 30; ++lap)
        EXPECT_EQ(line.find(lapRecord(1, 5000 + 1000 * lap)), std::string::npos) << "lap " << lap;

    std::ifstream in(errors);
    const std::string said((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(said.find("replay stopped after its 9 lines: " + (folder.path / "line.capture").string()
                        + " is damaged at byte " + std::to_string(damagedAt) + " (unknown chunk kind 0x5A)"),
              std::string::npos)
        << said;
}
