#include "convert/EncoderCommand.h"
#include "support/EncoderSettings.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using convert::BuildEncoderCommand;

class TestEncoderCommand : public QObject {
    Q_OBJECT

private slots:
    void kilohertzTextIsExact_data() {
        QTest::addColumn<int>("rate");
        QTest::addColumn<QString>("text");
        QTest::newRow("44100") << 44100 << "44.1";
        QTest::newRow("22050") << 22050 << "22.05";
        QTest::newRow("11025") << 11025 << "11.025";
        QTest::newRow("8000") << 8000 << "8";
        QTest::newRow("999") << 999 << "0.999";
        QTest::newRow("negative") << -44100 << "-44.1";
        QTest::newRow("smallest") << -2147483647 - 1 << "-2147483.648";
    }
    void kilohertzTextIsExact() {
        QFETCH(int, rate);
        QFETCH(QString, text);
        QCOMPARE(convert::KilohertzText(rate), text);
    }

    // The text is shown as built; the arguments are what really runs.
    void commandLines_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("bitrate");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("stereo");
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("channels");
        QTest::newRow("mp3 stereo 44100")
            << 1 << 128 << 44100 << 1 << "/opt/Son bridge/lame -h -ms -b128 -s44.1 - \"OUT\"" << 0;
        QTest::newRow("mp3 stereo 2 is mono")
            << 1 << 64 << 11025 << 2 << "/opt/Son bridge/lame -h -mm -b64 -s11.025 - \"OUT\"" << 0;
        QTest::newRow("ogg mono 22050") << 2 << 96 << 22050 << 0
                                        << "/opt/Son bridge/oggenc --raw-chan=1 --bitrate=96 - "
                                           "--raw-rate=22050 --output=\"OUT\""
                                        << 1;
        QTest::newRow("ogg stereo 44100")
            << 2 << 160 << 44100 << 1
            << "/opt/Son bridge/oggenc --bitrate=160 - --raw-rate=44100 --output=\"OUT\"" << 2;
    }
    void commandLines() {
        QFETCH(int, format);
        QFETCH(int, bitrate);
        QFETCH(int, rate);
        QFETCH(int, stereo);
        QFETCH(QString, line);
        QFETCH(int, channels);
        const QString out = "/home/u/Out/Song " + QString(format == 1 ? "1.mp3" : "2.ogg");
        const auto command = BuildEncoderCommand(
            format, fixtures::EncoderSettings(bitrate, rate, stereo), "/opt/Son bridge", out);
        QCOMPARE(command.commandLine, QString(line).replace("OUT", out));
        // The line less the program and the quotes, with the name as one argument.
        QStringList arguments = line.section(' ', 2).remove('"').split(' ');
        arguments.last().replace("OUT", out);
        QCOMPARE(command.encoder.arguments, arguments);
        QCOMPARE(command.encoder.sampleRate, rate);
        QCOMPARE(command.encoder.channels, channels);
        QCOMPARE(command.encoder.wavHeader, format == 1);
    }

    void otherFormatsGiveNoCommand() {
        for (int index : {-1, 0, 3}) {
            const auto command =
                BuildEncoderCommand(index, fixtures::EncoderSettings(160, 44100, 1), "/opt", "/o");
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
        QCOMPARE(BuildEncoderCommand(1, fixtures::EncoderSettings(128, 44100, 1), folder.path(),
                                     "/o.mp3")
                     .encoder.program,
                 QStandardPaths::findExecutable("lame"));
        QVERIFY(file.setPermissions(file.permissions() | QFile::ExeOwner));
        const auto command = BuildEncoderCommand(1, fixtures::EncoderSettings(128, 44100, 1),
                                                 folder.path(), "/o.mp3");
        QCOMPARE(command.encoder.program, local);
        QCOMPARE(command.commandLine.left(local.size()), local);

        // A folder of that name is no program.
        QVERIFY(QDir(folder.path()).mkdir("oggenc"));
        QCOMPARE(BuildEncoderCommand(2, fixtures::EncoderSettings(128, 44100, 1), folder.path(),
                                     "/o.ogg")
                     .encoder.program,
                 QStandardPaths::findExecutable("oggenc"));
    }

    void missingEverywhereGivesNoProgram() {
        QTemporaryDir empty;
        const QByteArray savedPath = qgetenv("PATH");
        qputenv("PATH", empty.path().toLocal8Bit());
        const auto lame = BuildEncoderCommand(1, fixtures::EncoderSettings(128, 44100, 1),
                                              empty.path(), "/o.mp3");
        const auto ogg = BuildEncoderCommand(2, fixtures::EncoderSettings(128, 44100, 1),
                                             empty.path(), "/o.ogg");
        qputenv("PATH", savedPath);
        QVERIFY(lame.encoder.program.isEmpty());
        QVERIFY(ogg.encoder.program.isEmpty());
        QVERIFY(!lame.commandLine.isEmpty());  // the text is still built for display
    }

    // lame would read a relative name with a leading dash as options.
    void leadingDashStaysAName() {
        const QString name = "-b8 --help.mp3";
        const auto command =
            BuildEncoderCommand(1, fixtures::EncoderSettings(128, 44100, 1), "/opt", name);
        QVERIFY(command.commandLine.endsWith(" - \"" + name + "\""));
        QCOMPARE(command.encoder.arguments.last(), "./" + name);
    }
};

QTEST_GUILESS_MAIN(TestEncoderCommand)
#include "tst_encoder_command.moc"
