// A generated archive for the archive benchmarks: 5 000 races of 8 racers
// and 100 laps (TRAMELO_BENCH_RACES changes the count), about 20 races a
// night from a pool of 40 drivers, written once into a temporary folder.
#pragma once

#include "record/archivepages.h"
#include "support/racejournalmaker.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include <unistd.h>

struct Archive {
    ArchivePaths paths;
    int races = 0;
    std::string lastNight;

    Archive()
    {
        const char *count = std::getenv("TRAMELO_BENCH_RACES");
        races = count ? std::atoi(count) : 5000;
        std::string pattern = (std::filesystem::temp_directory_path() / "tramelo-archive-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        paths.dataDir = pattern;
        std::filesystem::create_directories(paths.races());
        std::mt19937 random(25);
        std::vector<std::string> pool;
        for (int i = 0; i < 40; ++i)
            pool.push_back("Jezdec " + std::to_string(i + 1));
        for (int r = 0; r < races; ++r) {
            // 20 races a night from 19:00, one night a week from 2020.
            const int night = r / 20;
            const int day = 1 + (night * 7) % 28;
            const int month = 1 + (night / 4) % 12;
            const int year = 2020 + night / 48;
            char startedAt[32];
            std::snprintf(startedAt, sizeof startedAt, "%04d-%02d-%02d %02d:%02d:00", year, month, day,
                          19 + (r % 20) / 4, (r % 4) * 15);
            std::shuffle(pool.begin(), pool.end(), random);
            std::vector<MadeRacer> racers;
            for (int seat = 0; seat < 8; ++seat) {
                MadeRacer racer{pool[static_cast<std::size_t>(seat)], {}, false};
                for (int lap = 0; lap < 100; ++lap)
                    racer.lapMs.push_back(4000 + static_cast<std::int32_t>(random() % 2000));
                racers.push_back(std::move(racer));
            }
            std::string folder = startedAt;
            folder[10] = '_';
            std::replace(folder.begin() + 11, folder.end(), ':', '-');
            std::filesystem::create_directory(paths.races() / folder);
            std::ofstream(paths.races() / folder / "journal.jsonl", std::ios::binary) << makeJournal(startedAt, racers);
            lastNight = nightOf(startedAt);
        }
    }
    ~Archive()
    {
        std::error_code ignored;
        std::filesystem::remove_all(paths.dataDir, ignored);
    }
};

inline Archive &archive()
{
    static Archive instance;
    return instance;
}

