#include "shell/autoloadregistry.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTest>

class AutoLoadRegistryTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // ctest gives this test a profile of its own beside the binary; never
        // write the user's.
        const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
        QVERIFY2(!configHome.isEmpty() && configHome.startsWith(QCoreApplication::applicationDirPath() + '/'),
                 "run through ctest, which sets a temporary HOME and XDG_CONFIG_HOME");
        profileFile_ = configHome + "/Korvanta/tramelo.conf";
        QFile::remove(profileFile_);
    }

    void storedPathIsReadBackFromTheProfileFile()
    {
        QCOMPARE(autoLoadPathFromRegistry(), std::string());
        const std::string path = "/home/řidič/Závody 2024/trať.ini";
        storeAutoLoadPathInRegistry(path);
        QCOMPARE(autoLoadPathFromRegistry(), path);
        QSettings file(profileFile_, QSettings::IniFormat);
        QCOMPARE(file.value("Setting/iniFilePath").toString(), QString::fromStdString(path));
    }

    void removingDeletesOnlyThePath()
    {
        {
            QSettings file(profileFile_, QSettings::IniFormat);
            file.setValue("Setting/jine", "zustava");
            file.setValue("Okno/sirka", 380);
        }
        storeAutoLoadPathInRegistry("/home/eva/trat.ini");
        removeAutoLoadPathFromRegistry();
        QCOMPARE(autoLoadPathFromRegistry(), std::string());

        QSettings file(profileFile_, QSettings::IniFormat);
        QVERIFY(!file.contains("Setting/iniFilePath"));
        QCOMPARE(file.value("Setting/jine").toString(), QString("zustava"));
        QCOMPARE(file.value("Okno/sirka").toInt(), 380);
    }

private:
    QString profileFile_;
};

QTEST_GUILESS_MAIN(AutoLoadRegistryTest)
#include "autoloadregistry_test.moc"
