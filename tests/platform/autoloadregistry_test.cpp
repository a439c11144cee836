#include "platform/autoloadregistry.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTest>

class AutoLoadRegistryTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void absentValueReadsEmpty();
    void storedPathIsReadBackFromTheProfileFile();
    void removingDeletesOnlyThePath();

private:
    QString profileFile_;
};

void AutoLoadRegistryTest::initTestCase()
{
    // ctest gives this test a profile of its own beside the binary; never
    // write the user's.
    const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    QVERIFY2(!configHome.isEmpty() && configHome.startsWith(QCoreApplication::applicationDirPath() + '/'),
             "run through ctest, which sets a temporary HOME and XDG_CONFIG_HOME");
    profileFile_ = configHome + "/Korvanta/tramelo.conf";
    QFile::remove(profileFile_);
}

void AutoLoadRegistryTest::absentValueReadsEmpty()
{
    QCOMPARE(autoLoadPathFromRegistry(), std::string());
}

void AutoLoadRegistryTest::storedPathIsReadBackFromTheProfileFile()
{
    storeAutoLoadPathInRegistry("/home/řidič/Závody 2024/trať.ini");
    QCOMPARE(autoLoadPathFromRegistry(), std::string("/home/řidič/Závody 2024/trať.ini"));

    QSettings file(profileFile_, QSettings::IniFormat);
    QCOMPARE(file.value("Setting/iniFilePath").toString(), QString("/home/řidič/Závody 2024/trať.ini"));
}

void AutoLoadRegistryTest::removingDeletesOnlyThePath()
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

QTEST_GUILESS_MAIN(AutoLoadRegistryTest)
#include "autoloadregistry_test.moc"
