#include "shell/filestore.h"
#include "support/badinput_files.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {

std::string contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<cannot open>";
}

// Limits the size of files this process may write, and lets a write beyond
// it fail with an error instead of killing the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = nullptr;
};

} // namespace

class FileStoreTest : public QObject {
    Q_OBJECT
private slots:
    // A zero byte and Windows-1250 letters pass unchanged; one byte over the
    // limit refuses the file rather than cutting it short.
    void readsTheWholeFileUpToTheLimit()
    {
        const QString path = dir_.filePath("velky.ini");
        const std::string bytes = std::string("Meritko=32\r\n\0\xE1\xED", 15) + std::string(20000, 'x');
        QVERIFY(badinput::writeFile(path, QByteArray::fromStdString(bytes)));
        const FileContents whole = readWholeFile(path.toStdString(), bytes.size());
        QCOMPARE(whole.status, ReadStatus::Ok);
        QVERIFY(whole.bytes == bytes);
        QCOMPARE(readWholeFile(path.toStdString(), bytes.size() - 1).status, ReadStatus::TooLarge);
    }

    void refusesMissingFilesAndDirectories()
    {
        QCOMPARE(readWholeFile(dir_.filePath("chybi.ini").toStdString(), 1000).status, ReadStatus::CannotOpen);
        QCOMPARE(readWholeFile(dir_.path().toStdString(), 1000).status, ReadStatus::CannotOpen);
    }

    void replacesExistingFileWithExactBytes()
    {
        const QString path = dir_.filePath("nastaveni.ini");
        const std::string shorter("Z\xE1vodn\xEDk\r\n\0", 11);
        QVERIFY(replaceWholeFile(path.toStdString(), "first, a longer text\r\n"));
        QVERIFY(replaceWholeFile(path.toStdString(), shorter));
        QCOMPARE(contentsOf(path), shorter);
    }

    void fullDeviceReportsFailure()
    {
        QVERIFY(!replaceWholeFile("/dev/full", std::string(100000, 'x')));
        QVERIFY2(QFileInfo::exists("/dev/full") && !QFileInfo("/dev/full").isFile(), "the device node stays");
    }

    // A read-only folder is FileStoreBadInputTest's.
    void directoryThatTakesNoFileReportsFailure()
    {
        QVERIFY(!replaceWholeFile(dir_.filePath("chybi/nastaveni.ini").toStdString(), "x"));
        QVERIFY(!replaceWholeFile(dir_.path().toStdString(), "x"));
        // No new files can be made in /proc, not even by root.
        QVERIFY(!replaceWholeFile("/proc/tramelo-test.ini", "x"));
    }

    void failedWriteLeavesTheOldFile()
    {
        const QString path = dir_.filePath("puvodni.ini");
        QVERIFY(badinput::writeFile(path, "Meritko=32\r\n"));
        bool replaced = true;
        {
            const FileSizeLimit limit(4096);
            replaced = replaceWholeFile(path.toStdString(), std::string(100000, 'x'));
        }
        QVERIFY(!replaced);
        QCOMPARE(contentsOf(path), std::string("Meritko=32\r\n"));
    }

private:
    QTemporaryDir dir_;
};

QTEST_GUILESS_MAIN(FileStoreTest)
#include "filestore_test.moc"
