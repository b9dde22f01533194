// Whole batches through the main window: real decoding, real lame and oggenc,
// real files; only the person's answers come from the script.
#include "app/Settings.h"
#include "convert/ConversionRun.h"
#include "support/AudioFixtures.h"
#include "support/Processes.h"
#include "support/gui/BatchWindow.h"
#include "ui/StartApplication.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <functional>
#include <memory>

using fixtures::probe;

namespace {

// A plain PCM block from the formats the writer offers.
QByteArray pcmFormat(int rate, int channels, int bits) {
    const QString attributes =
        QString("%1 Hz, %2 bit, %3").arg(rate).arg(bits).arg(channels == 1 ? "Mono" : "Stereo");
    for (const audio::WaveFormatInfo& f : audio::Engine::waveFormats())
        if (f.formatName == "PCM" && f.attributes == attributes) return f.waveFormatEx;
    return {};
}

}  // namespace

class ConversionRunTest : public QObject, public BatchWindow {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(startWindow());
        QVERIFY(!fixtures::makeWav(m_media.path(), "tone.wav", 2.0, 44100, 2).isEmpty());
        QVERIFY(!fixtures::makeMp3(m_media.path(), "tone.mp3", 2.0, 44100, 2).isEmpty());
        QVERIFY(!fixtures::makeOgg(m_media.path(), "tone.ogg", 2.0, 48000, 1).isEmpty());
        QVERIFY(!fixtures::makeWav(m_media.path(), "long.wav", 90.0, 44100, 2, "pcm_s16le",
                                   fixtures::Signal::Noise)
                     .isEmpty());
    }

    void init() {
        resetWindow();
        QTest::qWait(120);  // a Timer2 tick brings the commands in line with the list
    }

    void emptyListWarnsAndLeavesCommandsUsable() {
        form().m_convert_Click();
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages[0].text, QString("No files to convert"));
        QCOMPARE(m_dialogs.messages[0].icon, QMessageBox::Warning);
        QCOMPARE(m_dialogs.messages[0].title, QString("Sonbridge"));
        QVERIFY(form().Combo4->isEnabled());
        QVERIFY(!form().Command6->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!form().button1->isEnabled(), 1000);  // no rows
    }

    void everyFormat_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<QString>("codec");
        QTest::addColumn<int>("kbps");
        QTest::newRow("wav pcm 22050 mono") << 0 << 22050 << 1 << "pcm_s16le" << 0;
        QTest::newRow("mp3 22050 mono") << 1 << 22050 << 1 << "mp3" << 64;
        QTest::newRow("mp3 48000 stereo") << 1 << 48000 << 2 << "mp3" << 192;
        QTest::newRow("ogg 22050 mono") << 2 << 22050 << 1 << "vorbis" << 48;
        QTest::newRow("ogg 48000 stereo") << 2 << 48000 << 2 << "vorbis" << 160;
    }

    void everyFormat() {
        QFETCH(int, format);
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(QString, codec);
        QFETCH(int, kbps);
        QTemporaryDir out;
        setDestination(out.path());
        form().Combo4->setCurrentIndex(format);
        form().appState.SampleRate = rate;
        form().appState.Stereo = channels == 2 ? 1 : 0;
        form().appState.Bitrate = kbps;
        m_dialogs.waveFormatDefault =
            ui::WaveFormatChoice{true, pcmFormat(rate, channels, 16), false};
        addRows({media("tone.wav"), media("tone.mp3"), media("tone.ogg")});

        form().button1_Click();

        QCOMPARE(statuses(), QStringList({"Converted.", "Converted.", "Converted."}));
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages[0].text, QString("Audio file(s) converted successfully"));
        QCOMPARE(m_dialogs.messages[0].icon, QMessageBox::Information);
        QCOMPARE(m_dialogs.openedUrls, QList<QUrl>{QUrl::fromLocalFile(out.path())});
        const QString ext = QStringList{"wav", "mp3", "ogg"}[format];
        // Sources: stereo WAV, stereo MP3, mono OGG. lame keeps a mono source mono.
        const QList<int> sourceChannels{2, 2, 1};
        const QStringList names{"tone", "tone (copy)", "tone (copy 2)"};
        for (int i = 0; i < names.size(); ++i) {
            const QString name = names[i];
            const auto p = probe(out.filePath(QString("%1.%2").arg(name, ext)));
            QVERIFY2(p.ok, qPrintable(name + ": " + p.error));
            QCOMPARE(p.codec, codec);
            QCOMPARE(p.sampleRate, rate);
            QCOMPARE(p.channels, format == 1 ? qMin(channels, sourceChannels[i]) : channels);
            QVERIFY2(qAbs(p.duration - 2.0) < 0.1, qPrintable(QString::number(p.duration)));
        }
        // A WAV batch asks once per file, each time offering the last choice.
        if (format == 0) {
            QCOMPARE(m_dialogs.waveFormatPreselected.size(), 3);
            QCOMPARE(m_dialogs.waveFormatPreselected[1], pcmFormat(rate, channels, 16));
        }
    }

    void sameFolderOpensTheFolderOfTheLastRow() {
        QTemporaryDir a, b;
        QVERIFY(QFile::copy(media("tone.wav"), a.filePath("one.wav")));
        QVERIFY(QFile::copy(media("tone.wav"), b.filePath("two.wav")));
        form().Check1->setChecked(true);
        form().Combo4->setCurrentIndex(1);
        addRows({a.filePath("one.wav"), b.filePath("two.wav")});
        form().m_convert_Click();
        QVERIFY(QFileInfo::exists(a.filePath("one.mp3")));
        QVERIFY(QFileInfo::exists(b.filePath("two.mp3")));
        QCOMPARE(m_dialogs.openedUrls, QList<QUrl>{QUrl::fromLocalFile(b.path() + "/")});
    }

    void stopDuringSecondRowTerminatesTheRest() {
        QTemporaryDir out;
        setDestination(out.path());
        form().Combo4->setCurrentIndex(1);
        addRows({media("tone.wav"), media("long.wav"), media("tone.wav")});
        bool stopped = false;
        bool secondStartRefused = false;
        DuringRun stopper([&] {
            if (!stopped && list().status(1).startsWith("Processing")) {
                stopped = true;
                form().m_stop_Click();
                // The commands are usable again, but the run is still winding down.
                QVERIFY(form().button1->isEnabled());
                form().m_convert_Click();
                form().m_play_Click();
                secondStartRefused =
                    form().PreviewStream == 0 && list().status(2) == "Not processed";
            }
        });
        form().m_convert_Click();
        QVERIFY(stopped);
        QVERIFY(secondStartRefused);
        QCOMPARE(statuses(), QStringList({"Converted.", "Terminated.", "Terminated."}));
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages[0].text, QString("Conversion stopped"));
        QCOMPARE(m_dialogs.openedUrls.size(), 1);
        // The partly written file stays; the third row was never opened.
        QVERIFY(QFileInfo(out.filePath("long.mp3")).size() > 0);
        QVERIFY(!QFileInfo::exists(out.filePath("tone (copy).mp3")));
        QVERIFY(form().Combo4->isEnabled());
    }

    void longFileShowsItsPercentage() {
        QTemporaryDir out;
        setDestination(out.path());
        form().Combo4->setCurrentIndex(2);
        addRows({media("long.wav")});
        QStringList seen;
        DuringRun watcher([&] {
            const QString s = list().status(0);
            if (seen.isEmpty() || seen.back() != s) seen << s;
        });
        form().m_convert_Click();
        QCOMPARE(seen.first(), QString("Not processed"));
        QCOMPARE(seen.value(1), QString("Processing..."));
        const QRegularExpression percent("^Processing\\.\\.\\. (\\d+)% completed$");
        int last = -1;
        for (const QString& s : seen) {
            const auto m = percent.match(s);
            if (!m.hasMatch()) continue;
            QVERIFY(m.captured(1).toInt() >= last);
            last = m.captured(1).toInt();
        }
        QVERIFY2(last >= 0, qPrintable(seen.join(" | ")));
        QVERIFY(last <= 100);
        QCOMPARE(list().status(0), QString("Converted."));
    }

    void missingEncoderFailsTheFirstRowAndEndsTheBatch() {
        QTemporaryDir out, emptyPath;
        setDestination(out.path());
        form().Combo4->setCurrentIndex(1);
        addRows({media("tone.wav"), media("tone.wav")});
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", emptyPath.path().toUtf8());
        form().m_convert_Click();
        qputenv("PATH", oldPath);
        QCOMPARE(statuses(), QStringList({"Failed.", "Not processed"}));
        QCOMPARE(statusTip(0), QString("lame not found"));
        QVERIFY(m_dialogs.messages.isEmpty());
        QVERIFY(m_dialogs.openedUrls.isEmpty());
        QVERIFY(form().Command1->isEnabled());
        QVERIFY(form().Combo4->isEnabled());
    }

    void unwritableDestinationIsNeverConverted_data() {
        QTest::addColumn<int>("format");
        QTest::newRow("wav") << 0;
        QTest::newRow("mp3") << 1;
        QTest::newRow("ogg") << 2;
    }

    void unwritableDestinationIsNeverConverted() {
        QFETCH(int, format);
        QTemporaryDir out;
        QFile blocker(out.filePath("file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        setDestination(out.filePath("file/sub"));  // a folder can't be made inside a file
        form().Combo4->setCurrentIndex(format);
        m_dialogs.waveFormatDefault = ui::WaveFormatChoice{true, pcmFormat(44100, 2, 16), false};
        addRows({media("tone.wav"), media("tone.wav")});
        form().m_convert_Click();
        QCOMPARE(statuses(), QStringList({"Failed.", "Not processed"}));
        QVERIFY(!statusTip(0).isEmpty());
        QVERIFY(m_dialogs.messages.isEmpty());
    }

    void cancelledWaveFormatFailsTheRow() {
        QTemporaryDir out;
        setDestination(out.path());
        form().Combo4->setCurrentIndex(0);
        m_dialogs.waveFormatAnswers.enqueue(
            ui::WaveFormatChoice{true, pcmFormat(8000, 1, 8), false});
        m_dialogs.waveFormatAnswers.enqueue(ui::WaveFormatChoice{});  // cancel
        addRows({media("tone.wav"), media("tone.mp3"), media("tone.ogg")});
        form().m_convert_Click();
        QCOMPARE(statuses(), QStringList({"Converted.", "Failed.", "Not processed"}));
        QVERIFY(m_dialogs.messages.isEmpty());
        QVERIFY(!QFileInfo::exists(out.filePath("tone (copy).wav")));
        const auto p = probe(out.filePath("tone.wav"));
        QCOMPARE(p.sampleRate, 8000);
        QCOMPARE(p.codec, QString("pcm_u8"));
    }

    // Last: closing ends the program, which the test only records.
    void closingDuringARunLeavesNoEncoderBehind() {
        QTemporaryDir out;
        setDestination(out.path());
        form().Combo4->setCurrentIndex(1);
        addRows({media("long.wav"), media("long.wav")});
        bool closed = false;
        int childrenWhileRunning = 0;
        DuringRun closer([&] {
            if (!closed && list().status(0).startsWith("Processing")) {
                childrenWhileRunning = fixtures::children().size();
                closed = true;
                form().close();
            }
        });
        form().m_convert_Click();
        QVERIFY(closed);
        QVERIFY(m_exited);
        QVERIFY(childrenWhileRunning >= 1);
        QCOMPARE(fixtures::children().size(), 0);
        QVERIFY(list().status(0) != "Converted.");
    }
};

BATCH_TEST_MAIN(ConversionRunTest)

#include "tst_conversion_run.moc"
