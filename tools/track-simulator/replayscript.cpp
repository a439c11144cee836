#include "replayscript.h"

#include "engine/hardwareframes.h"

namespace {

std::vector<TimedLine> wholeLines(const LineCapture &capture)
{
    std::vector<TimedLine> lines;
    std::string current;
    // The capture starts, like every purge, at an unknown point of a record:
    // the bytes up to the next line end are a fragment.
    bool fragment = true;
    for (const LineChunk &chunk : capture.chunks) {
        if (chunk.kind == LineChunk::Kind::Purge) {
            current.clear();
            fragment = true;
            continue;
        }
        for (char byte : chunk.bytes) {
            current.push_back(byte);
            if (!current.ends_with("\r\n"))
                continue;
            if (!fragment)
                lines.push_back({chunk.atMs, std::move(current)});
            current.clear();
            fragment = false;
        }
    }
    return lines;
}

struct DecodedRecord {
    int channel = 0;
    std::uint32_t timestamp = 0;
};

// The record \a line holds, decoded as the program decodes it; none when the
// line is no record.
std::optional<DecodedRecord> decodeRecord(const std::string &line)
{
    if (line.size() != kRecordLength + 2)
        return std::nullopt;
    std::array<ChannelState, kChannelCount> channels{};
    std::string unused;
    if (decodeBlock("\r\n" + line, channels, unused) != DecodeResult::Ok)
        return std::nullopt;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        // A decoded timestamp is never 0.
        if (channels[channel].timestamp != 0)
            return DecodedRecord{channel + 1, channels[channel].timestamp};
    }
    return std::nullopt;
}

} // namespace

ReplayScript makeReplayScript(const LineCapture &capture, std::optional<ChannelCrossing> firstStart)
{
    ReplayScript script;
    script.lines = wholeLines(capture);
    script.holdAt = script.lines.size();

    std::array<std::uint32_t, kChannelCount> firstSeen{};
    for (std::size_t i = 0; i < script.lines.size(); ++i) {
        const std::optional<DecodedRecord> record = decodeRecord(script.lines[i].bytes);
        if (!record)
            continue;
        const auto [channel, timestamp] = *record;
        const bool startCrossing = firstStart ? channel == firstStart->channel && timestamp == firstStart->hardwareMs
                                              : firstSeen[channel - 1] != 0 && firstSeen[channel - 1] != timestamp;
        if (script.holdAt == script.lines.size() && startCrossing) {
            script.holdAt = i;
            script.heldRecords = script.finalRecords;
        }
        if (firstSeen[channel - 1] == 0)
            firstSeen[channel - 1] = timestamp;
        script.finalRecords[channel - 1] = script.lines[i].bytes;
    }
    return script;
}
