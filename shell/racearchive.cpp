#include "shell/racearchive.h"

#include "engine/raceengine.h"
#include "engine/racehost.h"
#include "record/archivepages.h"
#include "record/fileerror.h"
#include "record/journalreader.h"
#include "record/journalwriter.h"
#include "record/linecapture.h"
#include "record/racereport.h"
#include "record/reportfiles.h"
#include "record/startuprecovery.h"
#include "setup/seriallink.h"

#include <QDateTime>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <cstdio>
#include <system_error>
#include <utility>

namespace {

const QString kFolderNameFormat = QStringLiteral("yyyy-MM-dd_HH-mm-ss");
const QString kStartedAtFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

RaceLog countedLog(const std::string &countedText)
{
    RaceLog log = readJournal(countedText);
    log.countedByProgram = true;
    return log;
}

} // namespace

RaceArchive::RaceArchive(RaceEngine &engine, RaceHost &host, SerialLink &link, std::filesystem::path racesDir,
                         QObject *parent)
    : QObject(parent), engine_(engine), host_(host), racesDir_(std::move(racesDir))
{
    connect(&link, &SerialLink::bytesArrived, this, &RaceArchive::lineBytesArrived);
    connect(&link, &SerialLink::bytesDiscarded, this, &RaceArchive::lineBytesDiscarded);
    liveBests_.settingsChanged = [this] {
        lookUpRecordsBefore();
        emit liveBestsChanged();
    };
}

RaceArchive::~RaceArchive()
{
    engine_.setRecorder(nullptr);
}

std::filesystem::path RaceArchive::defaultRacesDir()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return std::filesystem::path(data.toStdString()) / "races";
}

void RaceArchive::beginRace()
{
    // Nothing of the race before is this race's: not its folder, nor its count.
    raceFolder_.clear();
    engine_.setRecorder(nullptr);
    recorders_.reset();
    journal_.reset();
    liveBests_.beginRace();
    recordsBefore_.reset();
    if (!recording_)
        return;
    const QDateTime startedAt = QDateTime::currentDateTime();
    if (!makeRaceFolder(startedAt.toString(kFolderNameFormat)))
        return;
    const auto failed = [this](const std::string &text) {
        // The journal's last forced write fails on the journal's own thread.
        if (QThread::currentThread() == thread())
            recordFailed(text);
        else
            QMetaObject::invokeMethod(this, [this, text] { recordFailed(text); }, Qt::QueuedConnection);
    };
    journal_ = JournalWriter::open(raceFolder_ / kJournalFileName,
                                          startedAt.toString(kStartedAtFormat).toStdString(), failed);
    recorders_ = std::make_unique<RecorderTee>(*journal_, liveBests_);
    engine_.setRecorder(recorders_.get());
    // Now, not at the start signal: a race ended during its countdown keeps them too.
    engine_.recordSettings();
    raceOpen_ = true;
    lookUpRecordsBefore();
    const std::filesystem::path captureFile = raceFolder_ / std::string(kLineCaptureFileName);
    capture_ = LineCaptureWriter::open(
        captureFile, [this, captureFile](const std::string &reason) { captureStopped(captureFile, reason); });
    captureClock_.start();
}

void RaceArchive::lookUpRecordsBefore()
{
    if (!liveBests_.settings())
        return;
    // On the worker: opening the index may bring it up to date first. The
    // countdown leaves time enough before the first lap.
    auto slot = std::make_shared<RecordsSlot>();
    recordsBefore_ = slot;
    worker_.post([this, slot, paths = ArchivePaths{racesDir_.parent_path()}, settings = *liveBests_.settings(),
                  folder = raceFolder_] {
        std::optional<RecordsBefore> records = ::lookUpRecordsBefore(paths, settings, folder.filename().string());
        slot->set(records);
        if (!records)
            return;
        QMetaObject::invokeMethod(
            this,
            [this, folder, settings, found = std::move(*records)] {
                if (raceFolder_ != folder || liveBests_.settings() != settings)
                    return; // a later race began meanwhile, or its names changed
                liveBests_.setRecords(found);
                emit liveBestsChanged();
            },
            Qt::QueuedConnection);
    });
}

bool RaceArchive::makeRaceFolder(const QString &startName)
{
    std::error_code error;
    std::filesystem::create_directories(racesDir_, error);
    // Two starts within one second get "_2", "_3", ... after the time.
    for (int attempt = 1; !error && attempt < 100; ++attempt) {
        const QString name = attempt == 1 ? startName : startName + QStringLiteral("_%1").arg(attempt);
        raceFolder_ = racesDir_ / name.toStdString();
        // Named before it exists: a scan for races left open never takes it
        // for one of an earlier run.
        std::lock_guard lock(runFoldersMutex_);
        runFolders_.insert(raceFolder_.filename());
        if (std::filesystem::create_directory(raceFolder_, error))
            return true;
        runFolders_.erase(raceFolder_.filename());
    }
    const std::filesystem::path failedFolder = raceFolder_;
    raceFolder_.clear();
    recordFailed("Složku pro záznam závodu nelze vytvořit (" + (error ? racesDir_ : failedFolder).string() + "): "
                 + fileErrorReason(error ? error.value() : EEXIST) + ". Závod pokračuje bez záznamu.");
    return false;
}

void RaceArchive::captureStopped(const std::filesystem::path &file, const std::string &reason)
{
    const int error = errno;
    // The journal, which has its room, tells later readers what stopped.
    if (journal_ && raceOpen_)
        journal_->recordStopped(StoppedPart::Part::LineCapture, error, host_.hostClockMs());
    recordFailed("Záznam komunikace s hardwarem nelze ukládat (" + file.string() + "): " + reason
                 + ". Závod pokračuje.");
}

std::optional<std::string> RaceArchive::countedText() const
{
    if (!journal_ || journal_->ok())
        return std::nullopt;
    return journal_->countedText();
}

std::optional<std::string> RaceArchive::lastRaceReport() const
{
    // The same marks as the report in the race folder.
    const std::optional<RecordsBefore> records = recordsBefore_ ? recordsBefore_->get() : std::nullopt;
    const RecordsBefore *bests = records ? &*records : nullptr;
    if (std::optional<std::string> counted = countedText())
        return raceReportHtml(countedLog(*counted), bests);
    return raceFolderReport(raceFolder_, nullptr, bests);
}

void RaceArchive::endRace(RaceEnd how)
{
    if (raceOpen_) {
        raceOpen_ = false;
        engine_.setRecorder(nullptr);
        journal_->raceEnded(how, host_.hostClockMs());
        // The capture ends before the reports, which may need its disk.
        capture_.reset();
        // The report, the index and the pages are written off the window's
        // thread; the end of the program waits for them. When the journal is
        // incomplete, the race as the program counted it makes the report
        // (its lines are taken here, read there).
        const std::filesystem::path folder = raceFolder_;
        const ArchivePaths paths{racesDir_.parent_path()};
        worker_.post([this, folder, paths, counted = countedText(), slot = recordsBefore_] {
            std::string error;
            // Filled in by the job posted at the start, which ran before this one.
            const std::optional<RecordsBefore> records = slot ? slot->get() : std::nullopt;
            const RecordsBefore *bests = records ? &*records : nullptr;
            const bool written = counted ? writeRaceReports(folder, countedLog(*counted), &error, bests)
                                         : writeRaceFolderReports(folder, &error, bests);
            if (!written)
                QMetaObject::invokeMethod(
                    this, [this, error] { recordFailed("Zprávu o závodě nelze uložit do složky závodu: " + error); },
                    Qt::QueuedConnection);
            // The pages are a convenience: a busy index (a page being made from
            // a terminal) skips them this time, said on the log, never in a box.
            if (std::string pagesError; !writePagesAfterRace(paths, folder.filename().string(), &pagesError))
                std::fprintf(stderr, "Stránky archivu se tentokrát nezapsaly: %s\n", pagesError.c_str());
        });
    }
    // The writer stays until the next race: its last forced write to the
    // disk runs on its own thread and is waited for only then, or at exit.
    capture_.reset();
    if (recoveredRacesBox_)
        QMetaObject::invokeMethod(this, &RaceArchive::showRecoveredRaces, Qt::QueuedConnection);
}

void RaceArchive::lineBytesArrived(const QByteArray &bytes)
{
    if (capture_)
        capture_->bytesReceived(static_cast<std::uint32_t>(captureClock_.elapsed()),
                                std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void RaceArchive::lineBytesDiscarded()
{
    if (capture_)
        capture_->purged(static_cast<std::uint32_t>(captureClock_.elapsed()));
}

void RaceArchive::recordFailed(const std::string &text)
{
    pendingWarnings_.push_back(text);
    if (pendingWarnings_.size() > 1)
        return; // the box on its way names this one too
    // Never a modal box inside the engine's or the link's call: after it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            std::string all;
            for (const std::string &warning : pendingWarnings_)
                all += (all.empty() ? "" : "\n\n") + warning;
            pendingWarnings_.clear();
            host_.showMessage({"Varování", all, MessageButtons::Ok, MessageIcon::Warning});
        },
        Qt::QueuedConnection);
}

void RaceArchive::announceInterruptedRaces()
{
    // Every journal is read, which takes seconds in a large archive: on the
    // worker, and a race started meanwhile is left alone.
    worker_.post([this, racesDir = racesDir_] {
        const RecoveredRaces recovered =
            recoverOpenRaces(racesDir, [this](const std::filesystem::path &folder) {
                std::lock_guard lock(runFoldersMutex_);
                return runFolders_.count(folder.filename()) > 0;
            });
        if (recovered.races.empty())
            return;
        writePagesAfterRecovery(ArchivePaths{racesDir.parent_path()}, recovered.races);
        QMetaObject::invokeMethod(
            this,
            [this, box = interruptedRacesMessage(recovered)] {
                recoveredRacesBox_ = box;
                showRecoveredRaces();
            },
            Qt::QueuedConnection);
    });
}

void RaceArchive::showRecoveredRaces()
{
    // A race started during the search is not interrupted by news of old ones.
    if (raceOpen_ || !recoveredRacesBox_)
        return;
    const Message box = *std::exchange(recoveredRacesBox_, std::nullopt);
    host_.showMessage(box);
}
