#include "platform/filestore.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

std::string contentsOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<cannot open>";
    return file.readAll().toStdString();
}

void putFile(const QString &path, const std::string &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(QByteArray::fromStdString(bytes)), qint64(bytes.size()));
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
    void readsTheWholeFileUpToTheLimit();
    void refusesMissingFilesAndDirectories();
    void replacesExistingFileWithExactBytes();
    void fullDeviceReportsFailure();
    void directoryThatTakesNoFileReportsFailure();
    void failedWriteLeavesTheOldFile();

private:
    QTemporaryDir dir_;
};

void FileStoreTest::readsTheWholeFileUpToTheLimit()
{
    const QString path = dir_.filePath("velky.ini");
    std::string bytes = "Meritko=32\r\n";
    bytes += std::string(1, '\0') + "\xE1\xED" + std::string(20000, 'x');
    putFile(path, bytes);

    const FileContents whole = readWholeFile(path.toStdString(), bytes.size());
    QCOMPARE(whole.status, ReadStatus::Ok);
    QVERIFY(whole.bytes == bytes);
    QCOMPARE(readWholeFile(path.toStdString(), bytes.size() - 1).status, ReadStatus::TooLarge);
}

void FileStoreTest::refusesMissingFilesAndDirectories()
{
    QCOMPARE(readWholeFile(dir_.filePath("chybi.ini").toStdString(), 1000).status, ReadStatus::CannotOpen);
    QCOMPARE(readWholeFile(dir_.path().toStdString(), 1000).status, ReadStatus::CannotOpen);
}

void FileStoreTest::replacesExistingFileWithExactBytes()
{
    const QString path = dir_.filePath("nastaveni.ini");
    QVERIFY(replaceWholeFile(path.toStdString(), "first, a longer text\r\n"));
    QVERIFY(replaceWholeFile(path.toStdString(), std::string("Z\xE1vodn\xEDk\r\n\0", 11)));
    QCOMPARE(contentsOf(path), std::string("Z\xE1vodn\xEDk\r\n\0", 11));
}

void FileStoreTest::fullDeviceReportsFailure()
{
    QVERIFY(!replaceWholeFile("/dev/full", std::string(100000, 'x')));
    const QFileInfo device("/dev/full");
    QVERIFY2(device.exists() && !device.isFile(), "the device node must stay in place");
}

void FileStoreTest::directoryThatTakesNoFileReportsFailure()
{
    QVERIFY(!replaceWholeFile(dir_.filePath("chybi/nastaveni.ini").toStdString(), "x"));
    QVERIFY(!replaceWholeFile(dir_.path().toStdString(), "x"));
    // No new files can be made in /proc, not even by root.
    QVERIFY(!replaceWholeFile("/proc/tramelo-test.ini", "x"));
    if (geteuid() == 0)
        return; // root writes into a read-only directory anyway
    QTemporaryDir readOnly;
    QVERIFY(QFile::setPermissions(readOnly.path(), QFile::ReadOwner | QFile::ExeOwner));
    QVERIFY(!replaceWholeFile(readOnly.filePath("nastaveni.ini").toStdString(), "x"));
    QFile::setPermissions(readOnly.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void FileStoreTest::failedWriteLeavesTheOldFile()
{
    const QString path = dir_.filePath("puvodni.ini");
    putFile(path, "Meritko=32\r\n");
    bool replaced = true;
    {
        const FileSizeLimit limit(4096);
        replaced = replaceWholeFile(path.toStdString(), std::string(100000, 'x'));
    }
    QVERIFY(!replaced);
    QCOMPARE(contentsOf(path), std::string("Meritko=32\r\n"));
}

QTEST_GUILESS_MAIN(FileStoreTest)
#include "filestore_test.moc"
