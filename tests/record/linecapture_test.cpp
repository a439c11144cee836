#include "support/journaltestsupport.h"
#include "record/linecapture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace fs = std::filesystem;
namespace {

struct LineCaptureFile : TempFolder {
    fs::path file() const { return dir / kLineCaptureFileName; }
    std::unique_ptr<LineCaptureWriter> open(const fs::path &path)
    {
        return LineCaptureWriter::open(path, [this](const std::string &reason) { failures.push_back(reason); });
    }
    std::vector<std::string> failures;
};

const std::string kBinary = std::string("01900000000000000\r\n\0\xff\r", 23);

} // namespace

// Every byte comes back with its time and kind, NUL and 0xFF included; a file
// the program was killed in the middle of writing gives every whole chunk.
TEST_F(LineCaptureFile, ReadsBackEveryChunkAndEveryWholeChunkOfACutFile)
{
    const std::vector<LineChunk> written = {{LineChunk::Kind::Bytes, 5, "0190000"},
                                            {LineChunk::Kind::Bytes, 7, kBinary},
                                            {LineChunk::Kind::Purge, 350, ""},
                                            {LineChunk::Kind::Bytes, 4000000000u, std::string(5000, 'x')}};
    {
        auto writer = open(file());
        ASSERT_TRUE(writer);
        writer->bytesReceived(1, ""); // nothing arrived: no chunk
        for (const LineChunk &chunk : written) {
            if (chunk.kind == LineChunk::Kind::Purge)
                writer->purged(chunk.atMs);
            else
                writer->bytesReceived(chunk.atMs, chunk.bytes);
        }
    }
    EXPECT_TRUE(failures.empty());
    std::string error;
    std::optional<LineCapture> whole = readLineCaptureFile(file(), &error);
    ASSERT_TRUE(whole) << error;
    EXPECT_EQ(whole->chunks, written);
    EXPECT_FALSE(whole->cutShort);

    const std::string bytes = readBytes(file());
    for (std::size_t cut : {bytes.size() - 1, bytes.size() - 5000, bytes.size() - 5005}) {
        std::optional<LineCapture> cutShort = parseLineCapture(bytes.substr(0, cut));
        ASSERT_TRUE(cutShort);
        EXPECT_TRUE(cutShort->cutShort);
        EXPECT_EQ(cutShort->chunks, std::vector<LineChunk>(written.begin(), written.end() - 1)) << "cut at " << cut;
    }
}

TEST_F(LineCaptureFile, ForeignOrDamagedBytesAreRefusedWithAReason)
{
    std::string error;
    EXPECT_FALSE(parseLineCapture("{\"format\":\"tramelo-journal\"}\n", &error));
    EXPECT_NE(error.find("not a line capture"), std::string::npos);
    std::string unknownKind(kLineCaptureMagic);
    unknownKind += 'Z' + std::string(8, '\0');
    EXPECT_FALSE(parseLineCapture(unknownKind, &error));
    EXPECT_EQ(error, "damaged chunk at byte 23: unknown chunk kind 0x5A");
    EXPECT_FALSE(readLineCaptureFile(dir / "missing", &error));
    EXPECT_NE(error.find("missing"), std::string::npos);
}

// A full disk or a folder that cannot be written is reported once, in Czech,
// and the capture stops quietly: the race it belongs to goes on.
TEST_F(LineCaptureFile, FailedWritesAreReportedOnceAndStopTheCapture)
{
    auto full = open("/dev/full");
    ASSERT_EQ(full, nullptr);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0], "disk je plný");

    failures.clear();
    // A file where the race folder should be: the folder cannot be used.
    writeBytes(dir / "not-a-folder", "");
    EXPECT_EQ(open(dir / "not-a-folder" / "line.capture"), nullptr);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0], "v cestě ke složce stojí soubor");
    failures.clear();

    // Opened while there was room; the file may grow no further during the
    // race (a file size limit fails the write as a full disk would).
    auto writer = open(file());
    ASSERT_TRUE(writer);
    rlimit before{};
    ::getrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    writer->bytesReceived(10, std::string(50, 'a'));
    writer->bytesReceived(20, std::string(50, 'b'));
    writer->purged(30);
    writer->bytesReceived(40, std::string(50, 'c'));
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_TRUE(writer->failed());
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0], "soubor přesáhl povolenou velikost");
    const std::optional<LineCapture> kept = readLineCaptureFile(file());
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->chunks, (std::vector<LineChunk>{{LineChunk::Kind::Bytes, 10, std::string(50, 'a')}}));
}

// A damaged chunk anywhere in the file ends the reading there: every whole
// chunk before it is given with the byte and the cause, nothing after it.
// Only a file that ends inside its last chunk counts as cut short.
TEST_F(LineCaptureFile, DamagedChunkEndsTheReadingWithWhereAndWhy)
{
    const auto chunk = [](char kind, std::uint32_t atMs, std::uint32_t length, const std::string &bytes) {
        std::string out(1, kind);
        for (std::uint32_t value : {atMs, length})
            for (int shift = 0; shift < 32; shift += 8)
                out += static_cast<char>((value >> shift) & 0xFF);
        return out + bytes;
    };
    const std::string good = std::string(kLineCaptureMagic) + chunk('B', 5, 3, "abc") + chunk('P', 9, 0, "");
    const std::string after = chunk('B', 900, 2, "zz");
    const struct {
        std::string bad;
        const char *damage;
    } cases[] = {
        {chunk('b', 10, 2, "xy"), "unknown chunk kind 0x62"},
        {chunk('P', 10, 2, "xy"), "a purge chunk that claims 2 bytes"},
        {chunk('B', 10, 50'000'000, "xy"), "a chunk of 50000000 bytes, more than the port ever hands over at once"},
        {chunk('B', 8, 2, "xy"), "its time goes back from 9 to 8 ms"},
    };
    for (const auto &c : cases) {
        const std::optional<LineCapture> capture = parseLineCapture(good + c.bad + after);
        ASSERT_TRUE(capture) << c.damage;
        EXPECT_EQ(capture->chunks, (std::vector<LineChunk>{{LineChunk::Kind::Bytes, 5, "abc"},
                                                           {LineChunk::Kind::Purge, 9, ""}}));
        EXPECT_EQ(capture->damage, c.damage);
        EXPECT_EQ(capture->wholeBytes, good.size());
        EXPECT_FALSE(capture->cutShort);
    }
    const std::optional<LineCapture> cut = parseLineCapture(good + chunk('B', 10, 40, "only ten.."));
    ASSERT_TRUE(cut);
    EXPECT_TRUE(cut->cutShort);
    EXPECT_TRUE(cut->damage.empty());
    EXPECT_EQ(cut->wholeBytes, good.size());
}
