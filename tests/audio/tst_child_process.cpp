// Encoder processes that misbehave: nothing may hang the program.
#include "audio/ChildProcess.h"

#include <QElapsedTimer>
#include <QtTest>

using audio::ChildProcess;

class ChildProcessTest : public QObject {
    Q_OBJECT

private slots:
    void aProcessThatStopsReadingIsGivenUp() {
        ChildProcess child;
        QString error;
        QVERIFY2(child.start("sleep", {"30"}, &error), qPrintable(error));
        child.setStallTimeout(300);
        const QByteArray block(1 << 20, 'x');  // far more than a pipe holds
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!child.writeAll(block.constData(), block.size()));
        QString reason;
        QVERIFY(!child.finish(60000, &reason));
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(reason, QString("sleep stopped reading its input"));
    }

    void aReadingProcessFinishesPromptly() {
        ChildProcess child;
        QString error;
        QVERIFY2(child.start("cat", {}, &error), qPrintable(error));
        const QByteArray block(4 << 20, 'x');
        QVERIFY(child.writeAll(block.constData(), block.size()));
        QElapsedTimer clock;
        clock.start();
        QString reason;
        QVERIFY2(child.finish(60000, &reason), qPrintable(reason));
        // The exit is noticed as it happens, not on the next polling step.
        QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
    }

    void aProcessThatIgnoresTheEndOfItsInputIsKilled() {
        ChildProcess child;
        QString error;
        QVERIFY2(child.start("sleep", {"30"}, &error), qPrintable(error));
        QElapsedTimer clock;
        clock.start();
        QString reason;
        QVERIFY(!child.finish(300, &reason));
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(reason.contains("signal 9"));
    }
};

QTEST_GUILESS_MAIN(ChildProcessTest)
#include "tst_child_process.moc"
