// Files that cannot serve as a settings or results file: too large, a named
// pipe, a device, a path under a regular file, a read-only folder. Each is
// refused at once, and an old file is never touched.
#include "config/initext.h"
#include "shell/filestore.h"
#include "support/badinput_files.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

class FileStoreBadInputTest : public QObject {
    Q_OBJECT
private slots:
    void tenMegabyteFileIsRefusedAsTooLarge()
    {
        const QString path = dir_.filePath("obri.ini");
        QVERIFY(badinput::writeFile(path, QByteArray(10 * 1024 * 1024, 'x')));
        const FileContents read = readWholeFile(path.toStdString(), kMaxIniFileBytes);
        QCOMPARE(read.status, ReadStatus::TooLarge);
        QVERIFY(read.bytes.empty());
    }

    // Opening a pipe for reading or writing used to wait until another program
    // opened its other end, holding the window all that time.
    void namedPipeIsRefusedInsteadOfWaitingForTheOtherEnd()
    {
        badinput::UnattendedPipe pipe(dir_.filePath("roura.ini"));
        QVERIFY(pipe.created());
        const std::string path = dir_.filePath("roura.ini").toStdString();
        QCOMPARE(readWholeFile(path, kMaxIniFileBytes).status, ReadStatus::CannotOpen);
        QVERIFY(!replaceWholeFile(path, "Meritko=32\r\n"));
        QVERIFY2(!pipe.wasWaitedOn(), "an open waited for the pipe's other end");
        QVERIFY2(!QFileInfo(dir_.filePath("roura.ini")).isFile(), "the pipe stays a pipe");
    }

    void devicesAreNeitherReadNorReplaced()
    {
        QCOMPARE(readWholeFile("/dev/zero", kMaxIniFileBytes).status, ReadStatus::CannotOpen);
        QCOMPARE(readWholeFile("/dev/null", kMaxIniFileBytes).status, ReadStatus::CannotOpen);
        QVERIFY(!replaceWholeFile("/dev/full", "Meritko=32\r\n"));
        QVERIFY(!replaceWholeFile("/dev/null", "Meritko=32\r\n"));
        QVERIFY(QFileInfo("/dev/null").exists() && !QFileInfo("/dev/null").isFile());
    }

    void pathUnderARegularFileCannotBeWritten()
    {
        const QString file = dir_.filePath("soubor.txt");
        QVERIFY(badinput::writeFile(file, "obsah"));
        QVERIFY(!replaceWholeFile(QDir(file).filePath("vysledky.csv").toStdString(), "x"));
        QCOMPARE(readWholeFile(QDir(file).filePath("nastaveni.ini").toStdString(), 1000).status,
                 ReadStatus::CannotOpen);
        QCOMPARE(readWholeFile(file.toStdString(), 1000).bytes, std::string("obsah"));
    }

    void readOnlyFolderTakesNoFile()
    {
        if (geteuid() == 0)
            QSKIP("root may write into a read-only folder; the path under a regular file stands in for it");
        QTemporaryDir readOnly;
        QVERIFY(QFile::setPermissions(readOnly.path(), QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(!replaceWholeFile(readOnly.filePath("vysledky.csv").toStdString(), "x"));
        QVERIFY(!QFileInfo::exists(readOnly.filePath("vysledky.csv")));
        QFile::setPermissions(readOnly.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

private:
    QTemporaryDir dir_;
};

QTEST_GUILESS_MAIN(FileStoreBadInputTest)
#include "filestore_badinput_test.moc"
