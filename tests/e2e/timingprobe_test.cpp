// The timing probe's log lines, which bench/measure-race.py parses: silent
// unless enabled, timestamps on the shared monotonic clock, and a heartbeat
// that reports a blocked event loop.
#include "platform/timingprobe.h"

#include <QRegularExpression>
#include <QThread>
#include <QtTest>

namespace {

QStringList captured;

void capture(QtMsgType, const QMessageLogContext &context, const QString &message)
{
    if (QLatin1String(context.category) == QLatin1String("tramelo.timing"))
        captured << message;
}

qint64 field(const QString &line, const QString &name)
{
    const QRegularExpression pattern(QStringLiteral("\\b%1=(\\d+)").arg(name));
    const QRegularExpressionMatch match = pattern.match(line);
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

} // namespace

class TimingProbeTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        captured.clear();
        qInstallMessageHandler(capture);
    }

    void cleanup()
    {
        qInstallMessageHandler(nullptr);
        QLoggingCategory::setFilterRules(QString());
    }

    void disabledProbeLogsNothingAndStartsNoHeartbeat()
    {
        TimingProbe probe;
        TimingProbe::crossingHandled(2, 1234);
        TimingProbe::rowPainted(2);
        QVERIFY(!TimingProbe::enabled());
        QVERIFY(!probe.findChild<QTimer *>()->isActive());
        QTest::qWait(TimingProbe::kReportPeriodMs + 100);
        QVERIFY2(captured.isEmpty(), qPrintable(captured.join('\n')));
    }

    void enabledProbeStampsCrossingsAndPaintsOnTheMonotonicClock()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("tramelo.timing=true"));
        const qint64 before = TimingProbe::monotonicMs();
        TimingProbe::crossingHandled(3, 4000000001u);
        TimingProbe::rowPainted(3);
        const qint64 after = TimingProbe::monotonicMs();
        // The same clock as other processes': CLOCK_MONOTONIC, which is what
        // QElapsedTimer reads on Linux.
        QElapsedTimer monotonic;
        monotonic.start();
        QVERIFY(qAbs(monotonic.msecsSinceReference() - after) <= 1);

        QCOMPARE(captured.size(), 2);
        QVERIFY(captured[0].startsWith(QStringLiteral("crossing ")));
        QCOMPARE(field(captured[0], QStringLiteral("seat")), 3);
        QCOMPARE(field(captured[0], QStringLiteral("hw")), 4000000001LL);
        QVERIFY(captured[1].startsWith(QStringLiteral("painted ")));
        QCOMPARE(field(captured[1], QStringLiteral("row")), 3);
        for (const QString &line : captured) {
            const qint64 at = field(line, QStringLiteral("at"));
            QVERIFY2(at >= before && at <= after, qPrintable(line));
        }
    }

    void heartbeatReportsTheLongestBlockOfTheEventLoop()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("tramelo.timing=true"));
        TimingProbe probe;
        QTest::qWait(100);
        QThread::msleep(300); // the event loop cannot turn meanwhile
        QTRY_VERIFY_WITH_TIMEOUT(!captured.isEmpty(), 3 * TimingProbe::kReportPeriodMs);
        QVERIFY(captured[0].startsWith(QStringLiteral("loop ")));
        const qint64 gap = field(captured[0], QStringLiteral("longest-gap"));
        QVERIFY2(gap >= 300 && gap < 1000, qPrintable(captured[0]));

        // The next second had no block: its report is back near the period.
        QTRY_VERIFY_WITH_TIMEOUT(captured.size() >= 2, 3 * TimingProbe::kReportPeriodMs);
        QVERIFY2(field(captured[1], QStringLiteral("longest-gap")) < 300, qPrintable(captured[1]));
    }
};

QTEST_GUILESS_MAIN(TimingProbeTest)
#include "timingprobe_test.moc"
