// The timing probe's log lines, which bench/measure-race.py parses: silent
// unless enabled, timestamps on the shared monotonic clock, and a heartbeat
// that reports a blocked event loop with the processor time its thread used.
// Only bounds a loaded machine cannot break are checked: a loop blocked for
// 300 ms reports at least 300 ms, never less; processor time is measured on
// the thread's own clock.
#include "shell/timingprobe.h"

#include <QRegularExpression>
#include <QThread>
#include <QtTest>

#include <time.h>

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

qint64 threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64{now.tv_sec} * 1000 + now.tv_nsec / 1'000'000;
}

qint64 qtMonotonicMs()
{
    QElapsedTimer clock; // CLOCK_MONOTONIC on Linux
    clock.start();
    return clock.msecsSinceReference();
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
        const qint64 before = qtMonotonicMs();
        TimingProbe::crossingHandled(3, 4000000001u);
        TimingProbe::rowPainted(3);
        const qint64 after = qtMonotonicMs();

        QCOMPARE(captured.size(), 2);
        QVERIFY(captured[0].startsWith(QStringLiteral("crossing ")));
        QCOMPARE(field(captured[0], QStringLiteral("seat")), 3);
        QCOMPARE(field(captured[0], QStringLiteral("hw")), 4000000001LL);
        QVERIFY(captured[1].startsWith(QStringLiteral("painted ")));
        QCOMPARE(field(captured[1], QStringLiteral("row")), 3);
        // Read between two readings of Qt's monotonic clock: the same clock.
        for (const QString &line : captured) {
            const qint64 at = field(line, QStringLiteral("at"));
            QVERIFY2(at >= before && at <= after, qPrintable(line));
        }
    }

    void heartbeatReportsABlockedLoopAndTheWorkThatBlockedIt()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("tramelo.timing=true"));
        TimingProbe probe;
        QTest::qWait(50);
        const qint64 blockedFrom = qtMonotonicMs();
        QThread::msleep(300); // blocked, but not by work of the loop's thread
        QTRY_VERIFY_WITH_TIMEOUT(!captured.isEmpty(), 5 * TimingProbe::kReportPeriodMs);
        QVERIFY(captured[0].startsWith(QStringLiteral("loop ")));
        QVERIFY2(field(captured[0], QStringLiteral("longest-gap")) >= 300, qPrintable(captured[0]));
        QVERIFY2(field(captured[0], QStringLiteral("busy")) < 100, qPrintable(captured[0]));
        // The report gives the moment the gap ended, not when it was written.
        QVERIFY2(field(captured[0], QStringLiteral("at")) >= blockedFrom + 300, qPrintable(captured[0]));

        const qint64 spinFrom = threadCpuMs();
        while (threadCpuMs() - spinFrom < 250) {
        }
        QTRY_VERIFY_WITH_TIMEOUT(captured.size() >= 2, 5 * TimingProbe::kReportPeriodMs);
        QVERIFY2(field(captured[1], QStringLiteral("longest-gap")) >= 200, qPrintable(captured[1]));
        QVERIFY2(field(captured[1], QStringLiteral("busy")) >= 200, qPrintable(captured[1]));
    }
};

QTEST_GUILESS_MAIN(TimingProbeTest)
#include "timingprobe_test.moc"
