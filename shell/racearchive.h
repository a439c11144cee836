// The race record of the running program: at the start command a folder for
// the race under the user's data directory, named by the local start time
// (races/2026-12-07_19-30-05), holding the journal the engine writes and the
// hardware line the serial link receives. A record that cannot be kept never
// stops the race: every part that stops is named with its cause, after the
// call that failed (never from inside the engine), parts stopping together
// in one box. On a filling disk the capture gives way to the journal.
#pragma once

#include "platform/message.h"
#include "record/archiveworker.h"
#include "record/lapbests.h"
#include "record/livebests.h"
#include "record/racelog.h"
#include "record/recordertee.h"

#include <QElapsedTimer>
#include <QObject>

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

class QByteArray;
class RaceEngine;
class RaceHost;
class SerialLink;

class JournalWriter;
class LineCaptureWriter;

class RaceArchive : public QObject {
    Q_OBJECT
public:
    /// Keeps the races of \a engine in \a racesDir; \a host gives the clock
    /// of the end line and shows the warning.
    RaceArchive(RaceEngine &engine, RaceHost &host, SerialLink &link, std::filesystem::path racesDir,
                QObject *parent = nullptr);
    ~RaceArchive() override;

    /// The user's races folder: the application's data location + "/races".
    static std::filesystem::path defaultRacesDir();

    /// Off: races are not recorded (a timing comparison needs a run without).
    void setRecording(bool on) { recording_ = on; }

    /// At the start command, once the port is open: the race's folder, its
    /// journal attached to the engine and the line's capture.
    void beginRace();
    /// Writes how the race ended and closes its files; only the first call
    /// of a race counts, so a close after the finish changes nothing. The
    /// report and the archive's pages are written off the window's thread.
    void endRace(RaceEnd how);

    /// Returns once the report and the archive's pages of every ended race are written.
    void waitForArchiveWork() { worker_.waitIdle(); }

    /// The folder of the current or last race; empty before the first.
    const std::filesystem::path &raceFolder() const { return raceFolder_; }

    /// The report of the last ended race: from the race as the program
    /// counted it when the journal on the disk is incomplete, so that it
    /// agrees with the results; from the journal otherwise.
    std::optional<std::string> lastRaceReport() const;

    /// Finds the races an earlier run left open, marks them interrupted,
    /// brings the archive's index and pages up to date and tells the user in
    /// one box, on the window's thread once it is free and no race runs;
    /// nothing when there are none. The search runs on the archive's worker;
    /// a race this archive starts meanwhile is never taken for one left open.
    void announceInterruptedRaces();

    /// The personal bests and track record of the current race, and how
    /// each seat's last lap stands against them.
    const LiveBests &liveBests() const { return liveBests_; }

signals:
    /// The records before the current race arrived from the archive.
    void liveBestsChanged();

private:
    bool makeRaceFolder(const QString &startName);
    void lookUpRecordsBefore();
    void lineBytesArrived(const QByteArray &bytes);
    void lineBytesDiscarded();
    void recordFailed(const std::string &text);
    void showRecoveredRaces();
    void captureStopped(const std::filesystem::path &file, const std::string &reason);
    /// The journal's lines as the program counted them, when the journal on
    /// the disk is incomplete.
    std::optional<std::string> countedText() const;

    RaceEngine &engine_;
    RaceHost &host_;
    std::filesystem::path racesDir_;
    std::filesystem::path raceFolder_;
    std::unique_ptr<JournalWriter> journal_;
    std::unique_ptr<LineCaptureWriter> capture_;
    LiveBests liveBests_;
    /// The engine's recorder while a race is recorded: the journal, then liveBests_.
    std::unique_ptr<RecorderTee> recorders_;
    /// The records before a race: the worker's lookup fills them in, the
    /// report at the race's end and the one beside the results mark its laps from them.
    class RecordsSlot {
    public:
        void set(std::optional<RecordsBefore> records)
        {
            const std::lock_guard lock(mutex_);
            records_ = std::move(records);
        }
        std::optional<RecordsBefore> get() const
        {
            const std::lock_guard lock(mutex_);
            return records_;
        }

    private:
        mutable std::mutex mutex_;
        std::optional<RecordsBefore> records_;
    };
    std::shared_ptr<RecordsSlot> recordsBefore_;
    QElapsedTimer captureClock_;
    bool recording_ = true;
    bool raceOpen_ = false;
    /// Failures not yet shown; a box showing them is on its way.
    std::vector<std::string> pendingWarnings_;
    /// The race folders this archive made, read by the worker's search for
    /// races left open.
    std::mutex runFoldersMutex_;
    std::set<std::filesystem::path> runFolders_;
    /// The box about races left open, waiting for the race running to end.
    std::optional<Message> recoveredRacesBox_;
    /// Declared last, so it finishes its work before anything above goes.
    ArchiveWorker worker_;
};
