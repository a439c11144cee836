// Journals of made-up races for the archive tests and benchmarks: racers
// drive their lap times, laps are written in the order they are crossed and
// every racer finishes, as the race table would record it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

struct MadeRacer {
    std::string name;
    std::vector<std::int32_t> lapMs;  ///< one per lap
    bool disqualifiedAtEnd = false;   ///< disqualified after its last lap
};

inline std::string jsonText(const std::string &text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

/// A whole journal; \a how is the end line's kind ("" for none).
inline std::string makeJournal(const std::string &startedAt, const std::vector<MadeRacer> &racers,
                               const std::string &how = "finished", const std::string &trackLength = "20",
                               const std::string &scale = "32")
{
    std::string text = "{\"format\":\"tramelo-journal\",\"version\":1,\"startedAt\":" + jsonText(startedAt) + "}\n";
    std::string names;
    for (std::size_t seat = 0; seat < 8; ++seat)
        names += (seat ? "," : "") + jsonText(seat < racers.size() ? racers[seat].name : "");
    std::size_t laps = 0;
    for (const MadeRacer &racer : racers)
        laps = std::max(laps, racer.lapMs.size());
    text += "{\"type\":\"settings\",\"hostMs\":1000,\"trackLength\":" + jsonText(trackLength) + ",\"scale\":"
            + jsonText(scale) + ",\"lapsPerRide\":\"" + std::to_string(laps) + "\",\"racers\":[" + names + "]}\n";
    text += "{\"type\":\"startSignal\",\"hostMs\":1000}\n";
    struct Crossing {
        std::int64_t at;
        std::size_t seat;
        std::size_t lap;
    };
    std::vector<Crossing> crossings;
    for (std::size_t seat = 0; seat < racers.size(); ++seat) {
        if (racers[seat].name.empty())
            continue;
        text += "{\"type\":\"startCrossing\",\"hostMs\":2000,\"seat\":" + std::to_string(seat)
                + ",\"lap\":0,\"hardwareMs\":2000}\n";
        std::int64_t at = 2000;
        for (std::size_t lap = 0; lap < racers[seat].lapMs.size(); ++lap) {
            at += racers[seat].lapMs[lap];
            crossings.push_back({at, seat, lap + 1});
        }
    }
    std::stable_sort(crossings.begin(), crossings.end(), [](const Crossing &a, const Crossing &b) { return a.at < b.at; });
    for (const Crossing &c : crossings) {
        const MadeRacer &racer = racers[c.seat];
        const std::string seat = std::to_string(c.seat);
        const std::string at = std::to_string(c.at);
        text += "{\"type\":\"lap\",\"hostMs\":" + at + ",\"seat\":" + seat + ",\"lap\":" + std::to_string(c.lap)
                + ",\"hardwareMs\":" + at + ",\"lapMs\":" + std::to_string(racer.lapMs[c.lap - 1])
                + ",\"speedKmh\":400,\"position\":1,\"lapTimeText\":\"\",\"gapText\":\"\",\"tank\":8}\n";
        if (c.lap == racer.lapMs.size()) {
            if (racer.disqualifiedAtEnd)
                text += "{\"type\":\"disqualified\",\"hostMs\":" + at + ",\"seat\":" + seat + ",\"lap\":"
                        + std::to_string(c.lap) + "}\n";
            else
                text += "{\"type\":\"finished\",\"hostMs\":" + at + ",\"seat\":" + seat + ",\"lap\":"
                        + std::to_string(c.lap) + "}\n";
        }
    }
    if (!how.empty())
        text += "{\"type\":\"end\",\"hostMs\":" + std::to_string(crossings.empty() ? 3000 : crossings.back().at + 1)
                + ",\"how\":\"" + how + "\"}\n";
    return text;
}
