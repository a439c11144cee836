#include "setup/commdialog.h"

#include "setup/dialogtesting.h"

#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

namespace {

const char *const kComboNames[] = {"combo1007", "combo1008", "combo1009", "combo1010", "combo1011"};

QStringList shownTexts(const CommDialog &dialog)
{
    QStringList texts;
    for (const char *name : kComboNames)
        texts << control<QComboBox>(&dialog, name)->currentText();
    return texts;
}

QStringList storedTexts(const CommDialog::Values &values)
{
    return {QString::fromStdString(values.commPort), QString::fromStdString(values.baudRate),
            QString::fromStdString(values.dataBits), QString::fromStdString(values.stopBits),
            QString::fromStdString(values.parity)};
}

} // namespace

class CommDialogTest : public QObject {
    Q_OBJECT

private slots:
    void storedTextsOpenMatchedAndConfirmAsShown_data()
    {
        QTest::addColumn<QStringList>("stored"); // port, baud rate, data bits, stop bits, parity
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("empty settings take each list's default")
            << QStringList{"", "", "", "", ""}
            << QStringList{"COM1", "CBR_9600", "8", "ONESTOPBIT", "NOPARITY"};
        QTest::newRow("factory values")
            << QStringList{"COM1", "CBR_57600", "8", "ONESTOPBIT", "NOPARITY"}
            << QStringList{"COM1", "CBR_57600", "8", "ONESTOPBIT", "NOPARITY"};
        QTest::newRow("lower case matches the item's spelling")
            << QStringList{"com3", "cbr_14400", "7", "twostopbits", "oddparity"}
            << QStringList{"COM3", "CBR_14400", "7", "TWOSTOPBITS", "ODDPARITY"};
        QTest::newRow("texts matching no item open empty")
            << QStringList{"COM40", "CBR_1", "9", "HALFSTOPBIT", "SPACEPARITY"}
            << QStringList{"", "", "", "", ""};
    }
    void storedTextsOpenMatchedAndConfirmAsShown()
    {
        QFETCH(QStringList, stored);
        QFETCH(QStringList, shown);
        CommDialog dialog(OkButtonRole::Ok);
        dialog.setValues({stored[0].toStdString(), stored[1].toStdString(), stored[2].toStdString(),
                          stored[3].toStdString(), stored[4].toStdString()});
        QCOMPARE(shownTexts(dialog), shown);
        QCOMPARE(storedTexts(dialog.values()), shown);
    }

    void defaultsAndMatchesAreSelectedItemsOfTheirLists()
    {
        CommDialog dialog(OkButtonRole::Ok);
        dialog.setValues({"", "cbr_57600", "", "", ""});
        // Item positions, so a shown text cannot come from the edit field alone.
        QCOMPARE(control<QComboBox>(&dialog, "combo1007")->currentIndex(), 0);
        QCOMPARE(control<QComboBox>(&dialog, "combo1008")->currentIndex(), 11);
        QCOMPARE(control<QComboBox>(&dialog, "combo1009")->currentIndex(), 3);
        QCOMPARE(control<QComboBox>(&dialog, "combo1010")->currentIndex(), 0);
        QCOMPARE(control<QComboBox>(&dialog, "combo1011")->currentIndex(), 2);
    }

    void typedPortIsStoredAsTyped()
    {
        CommDialog dialog(OkButtonRole::Ok);
        dialog.setValues({"COM1", "CBR_57600", "8", "ONESTOPBIT", "NOPARITY"});
        dialog.show();
        auto *port = control<QComboBox>(&dialog, "combo1007");
        port->lineEdit()->selectAll();
        QTest::keyClicks(port->lineEdit(), "COM40");
        QTest::keyClick(port->lineEdit(), Qt::Key_Tab);
        QCOMPARE(dialog.values().commPort, "COM40");
        port->lineEdit()->selectAll();
        QTest::keyClicks(port->lineEdit(), "/dev/ttyUSB0");
        QCOMPARE(dialog.values().commPort, "/dev/ttyUSB0");
        // Typed text never joins the list.
        QCOMPARE(port->findText("COM40"), -1);
    }

    void portListStartsWithCom1ToCom32ThenThisComputersDevices()
    {
        CommDialog dialog(OkButtonRole::Ok);
        auto *port = control<QComboBox>(&dialog, "combo1007");
        QVERIFY(port->count() >= 32);
        for (int item = 0; item < 32; ++item)
            QCOMPARE(port->itemText(item), QStringLiteral("COM%1").arg(item + 1));
        for (int item = 32; item < port->count(); ++item)
            QVERIFY2(port->itemText(item).startsWith('/'), qPrintable(port->itemText(item)));
    }

    void listsHoldTheirItemsInTheirOwnOrder()
    {
        CommDialog dialog(OkButtonRole::Ok);
        const auto items = [&](const char *name) {
            QStringList texts;
            auto *combo = control<QComboBox>(&dialog, name);
            for (int item = 0; item < combo->count(); ++item)
                texts << combo->itemText(item);
            return texts;
        };
        QCOMPARE(items("combo1008"),
                 (QStringList{"CBR_110", "CBR_300", "CBR_600", "CBR_1200", "CBR_2400", "CBR_4800", "CBR_9600",
                              "CBR_19200", "CBR_14400", "CBR_38400", "CBR_56000", "CBR_57600", "CBR_115200",
                              "CBR_128000", "CBR_256000"}));
        QCOMPARE(items("combo1009"), (QStringList{"5", "6", "7", "8"}));
        QCOMPARE(items("combo1010"), (QStringList{"ONESTOPBIT", "ONE5STOPBITS", "TWOSTOPBITS"}));
        QCOMPARE(items("combo1011"), (QStringList{"EVENPARITY", "MARKPARITY", "NOPARITY", "ODDPARITY"}));
    }
};

QTEST_MAIN(CommDialogTest)
#include "commdialog_test.moc"
