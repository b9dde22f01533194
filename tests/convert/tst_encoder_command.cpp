#include "convert/EncoderCommand.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using convert::BuildEncoderCommand;

namespace {

app::AppState Settings(qint32 bitrate, qint32 sampleRate, qint16 stereo) {
    app::AppState state;
    state.Bitrate = bitrate;
    state.SampleRate = sampleRate;
    state.Stereo = stereo;
    return state;
}

}  // namespace

class TestEncoderCommand : public QObject {
    Q_OBJECT

private slots:
    void kilohertzTextIsExact_data() {
        QTest::addColumn<int>("rate");
        QTest::addColumn<QString>("text");
        QTest::newRow("48000") << 48000 << "48";
        QTest::newRow("44100") << 44100 << "44.1";
        QTest::newRow("22050") << 22050 << "22.05";
        QTest::newRow("11025") << 11025 << "11.025";
        QTest::newRow("8000") << 8000 << "8";
        QTest::newRow("999") << 999 << "0.999";
        QTest::newRow("0") << 0 << "0";
        QTest::newRow("negative") << -44100 << "-44.1";
        QTest::newRow("largest") << 2147483647 << "2147483.647";
        QTest::newRow("smallest") << -2147483647 - 1 << "-2147483.648";
    }
    void kilohertzTextIsExact() {
        QFETCH(int, rate);
        QFETCH(QString, text);
        QCOMPARE(convert::KilohertzText(rate), text);
    }

    void lameLine_data() {
        QTest::addColumn<int>("bitrate");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("stereo");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("arguments");
        const QString out = "/home/u/Out/Song.mp3";
        QTest::newRow("stereo 44100")
            << 128 << 44100 << 1 << "/opt/Son bridge/lame -h -ms -b128 -s44.1 - \"" + out + "\""
            << QStringList{"-h", "-ms", "-b128", "-s44.1", "-", out};
        QTest::newRow("mono 48000")
            << 320 << 48000 << 0 << "/opt/Son bridge/lame -h -mm -b320 -s48 - \"" + out + "\""
            << QStringList{"-h", "-mm", "-b320", "-s48", "-", out};
        QTest::newRow("8000") << 8 << 8000 << 1
                              << "/opt/Son bridge/lame -h -ms -b8 -s8 - \"" + out + "\""
                              << QStringList{"-h", "-ms", "-b8", "-s8", "-", out};
        QTest::newRow("11025 stereo 2 is mono")
            << 64 << 11025 << 2 << "/opt/Son bridge/lame -h -mm -b64 -s11.025 - \"" + out + "\""
            << QStringList{"-h", "-mm", "-b64", "-s11.025", "-", out};
        QTest::newRow("22050 stereo -1 is mono")
            << 96 << 22050 << -1 << "/opt/Son bridge/lame -h -mm -b96 -s22.05 - \"" + out + "\""
            << QStringList{"-h", "-mm", "-b96", "-s22.05", "-", out};
    }
    void lameLine() {
        QFETCH(int, bitrate);
        QFETCH(int, rate);
        QFETCH(int, stereo);
        QFETCH(QString, line);
        QFETCH(QStringList, arguments);
        const auto command = BuildEncoderCommand(1, Settings(bitrate, rate, stereo),
                                                 "/opt/Son bridge", "/home/u/Out/Song.mp3");
        QCOMPARE(command.commandLine, line);
        QCOMPARE(command.encoder.arguments, arguments);
        QCOMPARE(command.encoder.sampleRate, rate);
        QCOMPARE(command.encoder.channels, 0);
        QVERIFY(command.encoder.wavHeader);
    }

    void oggencLine_data() {
        QTest::addColumn<int>("bitrate");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("stereo");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("channels");
        const QString out = "/home/u/Out/Song.ogg";
        QTest::newRow("mono 22050")
            << 96 << 22050 << 0
            << "/opt/Son bridge/oggenc --raw-chan=1 --bitrate=96 - --raw-rate=22050 --output=\"" +
                   out + "\""
            << QStringList{"--raw-chan=1", "--bitrate=96", "-", "--raw-rate=22050",
                           "--output=" + out}
            << 1;
        QTest::newRow("stereo 44100")
            << 160 << 44100 << 1
            << "/opt/Son bridge/oggenc --bitrate=160 - --raw-rate=44100 --output=\"" + out + "\""
            << QStringList{"--bitrate=160", "-", "--raw-rate=44100", "--output=" + out} << 2;
        QTest::newRow("stereo 2 is mono 8000")
            << 32 << 8000 << 2
            << "/opt/Son bridge/oggenc --raw-chan=1 --bitrate=32 - --raw-rate=8000 --output=\"" +
                   out + "\""
            << QStringList{"--raw-chan=1", "--bitrate=32", "-", "--raw-rate=8000",
                           "--output=" + out}
            << 1;
    }
    void oggencLine() {
        QFETCH(int, bitrate);
        QFETCH(int, rate);
        QFETCH(int, stereo);
        QFETCH(QString, line);
        QFETCH(QStringList, arguments);
        QFETCH(int, channels);
        const auto command = BuildEncoderCommand(2, Settings(bitrate, rate, stereo),
                                                 "/opt/Son bridge", "/home/u/Out/Song.ogg");
        QCOMPARE(command.commandLine, line);
        QCOMPARE(command.encoder.arguments, arguments);
        QCOMPARE(command.encoder.sampleRate, rate);
        QCOMPARE(command.encoder.channels, channels);
        QVERIFY(!command.encoder.wavHeader);
    }

    void otherFormatsGiveNoCommand() {
        for (int index : {-1, 0, 3}) {
            const auto command = BuildEncoderCommand(index, Settings(160, 44100, 1), "/opt", "/o");
            QVERIFY(command.commandLine.isEmpty());
            QVERIFY(command.encoder.program.isEmpty());
            QVERIFY(command.encoder.arguments.isEmpty());
        }
    }

    void programComesFromTheAppFolderWhenExecutableThere() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString local = folder.path() + "/lame";
        QFile file(local);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
        file.close();

        // Not executable: the one on the PATH is used.
        QCOMPARE(BuildEncoderCommand(1, Settings(128, 44100, 1), folder.path(), "/o.mp3")
                     .encoder.program,
                 QStandardPaths::findExecutable("lame"));
        QVERIFY(file.setPermissions(file.permissions() | QFile::ExeOwner));
        const auto command =
            BuildEncoderCommand(1, Settings(128, 44100, 1), folder.path(), "/o.mp3");
        QCOMPARE(command.encoder.program, local);
        QCOMPARE(command.commandLine.left(local.size()), local);

        // A folder of that name is no program.
        QVERIFY(QDir(folder.path()).mkdir("oggenc"));
        QCOMPARE(BuildEncoderCommand(2, Settings(128, 44100, 1), folder.path(), "/o.ogg")
                     .encoder.program,
                 QStandardPaths::findExecutable("oggenc"));
    }

    void missingEverywhereGivesNoProgram() {
        QTemporaryDir empty;
        const QByteArray savedPath = qgetenv("PATH");
        qputenv("PATH", empty.path().toLocal8Bit());
        const auto lame = BuildEncoderCommand(1, Settings(128, 44100, 1), empty.path(), "/o.mp3");
        const auto ogg = BuildEncoderCommand(2, Settings(128, 44100, 1), empty.path(), "/o.ogg");
        qputenv("PATH", savedPath);
        QVERIFY(lame.encoder.program.isEmpty());
        QVERIFY(ogg.encoder.program.isEmpty());
        QVERIFY(!lame.commandLine.isEmpty());  // the text is still built for display
    }

    // lame would read a relative name with a leading dash as options.
    void leadingDashStaysAName() {
        const QString name = "-b8 --help.mp3";
        const auto command = BuildEncoderCommand(1, Settings(128, 44100, 1), "/opt", name);
        QVERIFY(command.commandLine.endsWith(" - \"" + name + "\""));
        QCOMPARE(command.encoder.arguments.last(), "./" + name);
    }
};

QTEST_GUILESS_MAIN(TestEncoderCommand)
#include "tst_encoder_command.moc"
