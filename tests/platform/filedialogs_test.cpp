#include "platform/filedialogs.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// While it lives, answers every file dialog that is open with \a action;
// an answer the dialog did not take yet (it may still be reading its
// directory) is simply given again on the next tick.
class FileDialogAnswer {
public:
    explicit FileDialogAnswer(std::function<void(QFileDialog &)> action)
    {
        QObject::connect(&timer_, &QTimer::timeout, [action] {
            if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget()))
                action(*dialog);
        });
        timer_.start(20);
    }

private:
    QTimer timer_;
};

// Types the file's name as a user would: selectFile() alone is lost while the
// dialog still reads its directory.
void choose(QFileDialog &dialog, const QString &path)
{
    const QFileInfo file(path);
    dialog.setDirectory(file.absolutePath());
    auto *nameEdit = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    QVERIFY(nameEdit);
    nameEdit->setText(file.fileName());
    QMetaObject::invokeMethod(&dialog, "accept");
}

} // namespace

class FileDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void windowsFiltersBecomeQtFilters_data();
    void windowsFiltersBecomeQtFilters();
    void openDialogTakesExistingFilesOnly();
    void saveDialogReplacesWithoutAsking();
    void chosenFileIsReturned();
    void cancelReturnsNothing();
};

void FileDialogsTest::windowsFiltersBecomeQtFilters_data()
{
    QTest::addColumn<QString>("windows");
    QTest::addColumn<QStringList>("qt");
    QTest::newRow("ini") << QString("Konfigurační soubory (*.ini)|*.ini|")
                         << QStringList{"Konfigurační soubory (*.ini)"};
    QTest::newRow("csv") << QString("CSV (oddělený čárkou) (*.csv)|*.csv|")
                         << QStringList{"CSV (oddělený čárkou) (*.csv)"};
    QTest::newRow("patterns not shown") << QString("Obrázky|*.bmp;*.dib|Vše|*.*||")
                                        << QStringList{"Obrázky (*.bmp *.dib)", "Vše (*.*)"};
}

void FileDialogsTest::windowsFiltersBecomeQtFilters()
{
    QFETCH(QString, windows);
    QFETCH(QStringList, qt);
    QCOMPARE(qtNameFilters(windows), qt);
}

void FileDialogsTest::openDialogTakesExistingFilesOnly()
{
    QFileDialog dialog;
    setUpFileDialog(dialog, FileKind::Ini, QFileDialog::AcceptOpen);
    QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(dialog.fileMode(), QFileDialog::ExistingFile);
    QCOMPARE(dialog.nameFilters(), QStringList{"Konfigurační soubory (*.ini)"});
    QCOMPARE(dialog.defaultSuffix(), QString());
}

void FileDialogsTest::saveDialogReplacesWithoutAsking()
{
    QFileDialog dialog;
    setUpFileDialog(dialog, FileKind::Results, QFileDialog::AcceptSave);
    QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptSave);
    QCOMPARE(dialog.fileMode(), QFileDialog::AnyFile);
    QVERIFY(dialog.testOption(QFileDialog::DontConfirmOverwrite));
    QCOMPARE(dialog.nameFilters(), QStringList{"CSV (oddělený čárkou) (*.csv)"});
    QCOMPARE(dialog.defaultSuffix(), QString());
}

void FileDialogsTest::chosenFileIsReturned()
{
    QTemporaryDir dir;
    const QString existing = dir.filePath("trať.ini");
    QFile file(existing);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    const FileDialogAnswer answer([&](QFileDialog &dialog) { choose(dialog, existing); });
    QCOMPARE(execOpenFileDialog(nullptr, FileKind::Ini), std::optional<std::string>(existing.toStdString()));
    // An existing file is taken as it is: no question about replacing it.
    QCOMPARE(execSaveFileDialog(nullptr, FileKind::Ini), std::optional<std::string>(existing.toStdString()));
}

void FileDialogsTest::cancelReturnsNothing()
{
    const FileDialogAnswer answer([](QFileDialog &dialog) { dialog.reject(); });
    QCOMPARE(execSaveFileDialog(nullptr, FileKind::Results), std::nullopt);
}

QTEST_MAIN(FileDialogsTest)
#include "filedialogs_test.moc"
