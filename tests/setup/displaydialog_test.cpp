#include "setup/displaydialog.h"

#include "setup/dialogtesting.h"

#include <QComboBox>
#include <QRadioButton>
#include <QtTest>

namespace {

QRadioButton *radio(const DisplayDialog &dialog, int id)
{
    return control<QRadioButton>(&dialog, QStringLiteral("radio%1").arg(id));
}

QList<int> checkedRadios(const DisplayDialog &dialog)
{
    QList<int> ids;
    for (int id : {1004, 1005, 1013, 1014, 1015, 1016, 1018})
        if (radio(dialog, id)->isChecked())
            ids << id;
    return ids;
}

} // namespace

class DisplayDialogTest : public QObject {
    Q_OBJECT

private slots:
    void emptySettingsShowTheFirstChoiceOfEachGroup()
    {
        DisplayDialog dialog(OkButtonRole::Ok);
        dialog.setValues({0, 0, 0}); // settingToInt of empty texts
        QCOMPARE(checkedRadios(dialog), (QList<int>{1004, 1013}));
        QCOMPARE(control<QComboBox>(&dialog, "combo1017")->currentText(), "modré");
        const DisplayDialog::Values values = dialog.values();
        QCOMPARE(values.order, 0);
        QCOMPARE(values.arrangement, 0);
        QCOMPARE(values.colour, 0);
    }

    void valuesOutsideTheirGroupsShowNothingAndStayUnchosen()
    {
        DisplayDialog dialog(OkButtonRole::Ok);
        dialog.setValues({2, 7, 3});
        QVERIFY(checkedRadios(dialog).isEmpty());
        QCOMPARE(control<QComboBox>(&dialog, "combo1017")->currentIndex(), -1);
        const DisplayDialog::Values values = dialog.values();
        QCOMPARE(values.order, -1);
        QCOMPARE(values.arrangement, -1);
        QCOMPARE(values.colour, -1);
    }

    void reopeningMovesTheChoiceInsteadOfAddingOne()
    {
        DisplayDialog dialog(OkButtonRole::Ok);
        dialog.setValues({1, 3, 1});
        dialog.setValues({1, 1, 2});
        QCOMPARE(checkedRadios(dialog), (QList<int>{1005, 1014}));
        dialog.setValues({1, -1, -1});
        QCOMPARE(checkedRadios(dialog), (QList<int>{1005}));
    }

    void choicesGiveTheirPositionsCountedInTabOrder()
    {
        DisplayDialog dialog(OkButtonRole::Ok);
        dialog.setValues({1, 0, 0});
        dialog.show();
        QTest::mouseClick(radio(dialog, 1018), Qt::LeftButton);
        control<QComboBox>(&dialog, "combo1017")->setCurrentIndex(2);
        QCOMPARE(dialog.values().arrangement, 4);
        QCOMPARE(dialog.values().colour, 2);
        QCOMPARE(checkedRadios(dialog), (QList<int>{1005, 1018}));
    }

    void orderByTrackPositionCanBeLeftButNeverChosen()
    {
        DisplayDialog dialog(OkButtonRole::Ok);
        dialog.setValues({0, 0, 0});
        dialog.show();
        QVERIFY(!radio(dialog, 1004)->isEnabled());
        QTest::mouseClick(radio(dialog, 1005), Qt::LeftButton);
        QCOMPARE(dialog.values().order, 1);
        QTest::mouseClick(radio(dialog, 1004), Qt::LeftButton);
        QCOMPARE(dialog.values().order, 1);
        // Nor by keyboard: the arrow keys skip the disabled button.
        radio(dialog, 1005)->setFocus();
        QTest::keyClick(radio(dialog, 1005), Qt::Key_Left);
        QCOMPARE(dialog.values().order, 1);
    }
};

QTEST_MAIN(DisplayDialogTest)
#include "displaydialog_test.moc"
