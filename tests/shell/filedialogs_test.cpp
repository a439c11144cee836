#include "shell/filedialogs.h"

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
    // Windows filters name their patterns after the text or not; Qt needs them
    // in the parentheses that end it.
    void windowsFiltersBecomeQtFilters()
    {
        QCOMPARE(qtNameFilters("Obrázky|*.bmp;*.dib|Vše (*.*)|*.*||"),
                 (QStringList{"Obrázky (*.bmp *.dib)", "Vše (*.*)"}));
    }

    // Opening takes existing files only; saving replaces a file without asking.
    void dialogsAreSetUpForTheirKindAndMode()
    {
        for (const bool save : {false, true}) {
            QFileDialog dialog;
            const auto mode = save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen;
            setUpFileDialog(dialog, save ? FileKind::Results : FileKind::Ini, mode);
            QCOMPARE(dialog.acceptMode(), mode);
            QCOMPARE(dialog.fileMode(), save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
            QCOMPARE(dialog.testOption(QFileDialog::DontConfirmOverwrite), save);
            QCOMPARE(dialog.nameFilters(),
                     QStringList{save ? "CSV (oddělený čárkou) (*.csv)" : "Konfigurační soubory (*.ini)"});
            QCOMPARE(dialog.defaultSuffix(), QString());
        }
    }

    void chosenFileIsReturned()
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

    void cancelReturnsNothing()
    {
        const FileDialogAnswer answer([](QFileDialog &dialog) { dialog.reject(); });
        QCOMPARE(execSaveFileDialog(nullptr, FileKind::Results), std::nullopt);
    }
};

QTEST_MAIN(FileDialogsTest)
#include "filedialogs_test.moc"
