// Batches that meet faults and hostile input: a thousand sources, an encoder
// killed mid-file, a destination that fills up, sources that change after
// they were added, names a shell would misread. Every case ends with a clear
// row status, nothing overwritten and no encoder process left behind.
#include "support/AudioFixtures.h"
#include "support/Processes.h"
#include "support/gui/BatchWindow.h"
#include "ui/StartApplication.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <csignal>
#include <functional>
#include <memory>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using fixtures::probe;

namespace {

QByteArray le16(int v) {
    QByteArray b(2, '\0');
    b[0] = char(v & 0xFF);
    b[1] = char((v >> 8) & 0xFF);
    return b;
}
QByteArray le32(quint32 v) {
    return le16(int(v & 0xFFFF)) + le16(int(v >> 16));
}

constexpr int kClipRate = 8000;

QByteArray pcm16MonoFormat(int rate) {
    return le16(1) + le16(1) + le32(quint32(rate)) + le32(quint32(rate * 2)) + le16(2) + le16(16) +
           le16(0);
}

// 50 ms of 16-bit mono samples that only clip `index` has.
QByteArray clipSamples(int index) {
    QByteArray pcm;
    for (int i = 0; i < kClipRate / 20; ++i) pcm += le16((index * 7919 + i * 131) % 65536 - 32768);
    return pcm;
}

QByteArray wavFile(const QByteArray& pcm) {
    const QByteArray fmt = pcm16MonoFormat(kClipRate).left(16);
    return "RIFF" + le32(quint32(4 + 8 + fmt.size() + 8 + pcm.size())) + "WAVE" + "fmt " +
           le32(quint32(fmt.size())) + fmt + "data" + le32(quint32(pcm.size())) + pcm;
}

// The bytes of a WAV file's data chunk; empty when there is none.
QByteArray dataChunk(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray b = f.readAll();
    for (qsizetype at = 12; at + 8 <= b.size();) {
        const quint32 size = quint8(b[at + 4]) | quint8(b[at + 5]) << 8 | quint8(b[at + 6]) << 16 |
                             quint32(quint8(b[at + 7])) << 24;
        if (b.mid(at, 4) == "data") return b.mid(at + 8, size);
        at += 8 + size + (size & 1);
    }
    return {};
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// A small tmpfs, unmounted when the test ends however it ends.
class SmallDisk {
public:
    explicit SmallDisk(const QString& where) : m_path(QFile::encodeName(where)) {
        m_mounted = ::mount("tmpfs", m_path.constData(), "tmpfs", 0, "size=256k") == 0;
    }
    ~SmallDisk() {
        if (m_mounted) ::umount2(m_path.constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool mounted() const { return m_mounted; }

private:
    QByteArray m_path;
    bool m_mounted = false;
};

}  // namespace

class BatchFaultsTest : public QObject, public BatchWindow {
    Q_OBJECT

private:
    // A copy of the two-second tone under a new name.
    QString tone(const QString& name) {
        const QString path = media(name);
        QFile::remove(path);
        return QFile::copy(media("tone.wav"), path) ? path : QString();
    }

private slots:
    void initTestCase() {
        QVERIFY(startWindow());
        QVERIFY(!fixtures::makeWav(m_media.path(), "tone.wav", 2.0, 44100, 2).isEmpty());
        QVERIFY(!fixtures::makeWav(m_media.path(), "long.wav", 60.0, 44100, 2, "pcm_s16le",
                                   fixtures::Signal::Noise)
                     .isEmpty());
    }

    void init() { resetWindow(); }

    // Whatever happened, every encoder has ended and been reaped.
    void cleanup() {
        const auto left = fixtures::children();
        for (const auto& c : left) qWarning("left behind: %d %s", c.pid, qPrintable(c.name));
        QVERIFY(left.isEmpty());
    }

    void thousandSourcesInOneBatch() {
        QTemporaryDir out;
        setDestination(out.path());
        // Ten folders holding the same hundred names, so most outputs need a
        // copy number; two names are already taken in the destination.
        QStringList sources;
        for (int folder = 0; folder < 10; ++folder) {
            const QString dir = media(QString("batch/%1").arg(folder));
            QVERIFY(QDir().mkpath(dir));
            for (int n = 0; n < 100; ++n) {
                const QString path = QString("%1/clip %2.wav").arg(dir).arg(n, 3, 10, QChar('0'));
                QVERIFY(writeBytes(path, wavFile(clipSamples(folder * 100 + n))));
                sources << path;
            }
        }
        QVERIFY(writeBytes(out.filePath("clip 000.wav"), "keep me"));
        QVERIFY(writeBytes(out.filePath("clip 001 (copy).wav"), "keep me too"));
        const auto expectedName = [](int folder, int n) {
            // The k-th output of a name is "(copy k)"; a taken name shifts it by one.
            const int taken = n == 0 ? 1 : 0;
            int k = folder + taken + (n == 1 && folder >= 1 ? 1 : 0);
            const QString base = QString("clip %1").arg(n, 3, 10, QChar('0'));
            if (k == 0) return base + ".wav";
            if (k == 1) return base + " (copy).wav";
            return base + QString(" (copy %1).wav").arg(k);
        };

        m_dialogs.openAnswers.enqueue(sources);
        form().m_add_midi_Click();
        QCOMPARE(list().count(), 1000);
        form().Combo4->setCurrentIndex(0);
        m_dialogs.waveFormatAnswers.enqueue({true, pcm16MonoFormat(kClipRate), true});
        form().m_convert_Click();

        QCOMPARE(statuses(), QStringList(1000, "Converted."));
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages[0].text, QString("Audio file(s) converted successfully"));
        QCOMPARE(QDir(out.path()).entryList(QDir::Files).size(), 1002);
        for (int folder = 0; folder < 10; ++folder) {
            for (int n = 0; n < 100; ++n) {
                const QString name = expectedName(folder, n);
                QVERIFY2(dataChunk(out.filePath(name)) == clipSamples(folder * 100 + n),
                         qPrintable(QString("%1 from folder %2").arg(name).arg(folder)));
            }
        }
        QFile kept(out.filePath("clip 000.wav"));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("keep me"));
        QFile kept2(out.filePath("clip 001 (copy).wav"));
        QVERIFY(kept2.open(QIODevice::ReadOnly));
        QCOMPARE(kept2.readAll(), QByteArray("keep me too"));
    }

    void killedEncoderFailsItsRow_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("program");
        QTest::newRow("lame") << 1 << "lame";
        QTest::newRow("oggenc") << 2 << "oggenc";
    }

    void killedEncoderFailsItsRow() {
        QFETCH(int, format);
        QFETCH(QString, program);
        QTemporaryDir out;
        setDestination(out.path());
        form().Combo4->setCurrentIndex(format);
        addRows({media("long.wav"), media("tone.wav")});
        pid_t killed = 0;
        DuringRun killer([&] {
            if (killed || !list().status(0).startsWith("Processing")) return;
            for (const auto& c : fixtures::children()) {
                if (c.name == program && ::kill(c.pid, SIGKILL) == 0) killed = c.pid;
            }
        });
        form().m_convert_Click();
        QVERIFY(killed != 0);
        QCOMPARE(statuses(), QStringList({"Failed.", "Not processed"}));
        QVERIFY(!statusTip(0).isEmpty());
        QVERIFY(m_dialogs.messages.isEmpty());
        QVERIFY(form().Combo4->isEnabled());

        // The program keeps working: the next batch converts.
        list().RemoveAll();
        addRows({media("tone.wav")});
        form().m_convert_Click();
        QCOMPARE(statuses(), QStringList({"Converted."}));
        QVERIFY(probe(out.filePath("tone." + QString(format == 1 ? "mp3" : "ogg"))).ok);
    }

    void fullDestinationIsNeverConverted_data() {
        QTest::addColumn<int>("format");
        QTest::newRow("wav") << 0;
        QTest::newRow("mp3") << 1;
        QTest::newRow("ogg") << 2;
    }

    void fullDestinationIsNeverConverted() {
        QFETCH(int, format);
        QTemporaryDir out;
        SmallDisk disk(out.path());
        if (!disk.mounted())
            QSKIP("cannot mount a tmpfs here; the engine suite covers a writer on /dev/full");
        setDestination(out.path());
        form().Combo4->setCurrentIndex(format);
        m_dialogs.waveFormatDefault = ui::WaveFormatChoice{true, pcm16MonoFormat(44100), false};
        addRows({media("long.wav"), media("tone.wav")});
        form().m_convert_Click();
        QCOMPARE(statuses(), QStringList({"Failed.", "Not processed"}));
        QVERIFY(!statusTip(0).isEmpty());
        QVERIFY(m_dialogs.messages.isEmpty());
    }

    void sourceChangedAfterAdding_data() {
        QTest::addColumn<QString>("change");
        QTest::newRow("deleted") << "deleted";
        QTest::newRow("garbage") << "garbage";
        QTest::newRow("emptied") << "emptied";
        QTest::newRow("folder") << "folder";
        QTest::newRow("cut short") << "cut short";
    }

    void sourceChangedAfterAdding() {
        QFETCH(QString, change);
        QTemporaryDir out;
        setDestination(out.path());
        form().Combo4->setCurrentIndex(1);
        const QString source = tone(change + ".wav");
        const QString output = out.filePath(change + ".mp3");
        addRows({source, media("tone.wav")});
        QVERIFY(QFile::remove(source));
        if (change == "garbage") {
            QByteArray junk;
            for (int i = 0; i < 64000; ++i) junk += char((i * 2654435761u) >> 24);
            QVERIFY(writeBytes(source, junk));
        } else if (change == "emptied") {
            QVERIFY(writeBytes(source, {}));
        } else if (change == "folder") {
            QVERIFY(QDir().mkpath(source));
        } else if (change == "cut short") {
            // A header that promises two seconds, with a few samples after it.
            QFile full(media("tone.wav"));
            QVERIFY(full.open(QIODevice::ReadOnly));
            QVERIFY(writeBytes(source, full.read(100)));
        }
        form().m_convert_Click();
        if (change == "cut short") {
            // What is there converts; nothing is claimed beyond it.
            QCOMPARE(statuses(), QStringList({"Converted.", "Converted."}));
            QVERIFY(probe(output).duration < 0.1);
            return;
        }
        QCOMPARE(statuses(), QStringList({"Failed.", "Not processed"}));
        QVERIFY(!statusTip(0).isEmpty());
        QVERIFY(!QFileInfo::exists(output));
        QVERIFY(m_dialogs.messages.isEmpty());
    }

    void hostileNamesConvert_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("quotes") << "say \"hi\" it's.wav";
        QTest::newRow("command substitution") << "$(touch pwned).wav";
        QTest::newRow("backticks") << "`touch pwned` ;rm -rf x.wav";
        QTest::newRow("leading dashes") << "--help -o.wav";
        QTest::newRow("one dash") << "-.wav";
        QTest::newRow("newline") << "two\nlines.wav";
        QTest::newRow("255 bytes") << QString(125, QChar(0xE9)) + "x.wav";
        QTest::newRow("glob and tilde") << "~*?[a].wav";
    }

    void hostileNamesConvert() {
        QFETCH(QString, name);
        QTemporaryDir out;
        setDestination(out.path());
        const QString source = tone(name);
        QVERIFY2(!source.isEmpty(), qPrintable(name));
        const QString base = name.chopped(4);
        for (int format : {1, 2}) {
            form().Combo4->setCurrentIndex(format);
            list().RemoveAll();
            m_dialogs.openAnswers.enqueue({source});
            form().m_add_midi_Click();
            QCOMPARE(list().path(0), source);
            form().m_convert_Click();
            QCOMPARE(list().status(0), QString("Converted."));
            const auto p = probe(out.filePath(base + (format == 1 ? ".mp3" : ".ogg")));
            QVERIFY2(p.ok, qPrintable(p.error));
            QVERIFY(qAbs(p.duration - 2.0) < 0.1);
        }
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
        for (const QString& dir : {QDir::currentPath(), QDir::homePath(), m_media.path()})
            QVERIFY(!QFileInfo::exists(dir + "/pwned"));
    }

    // A name in another encoding (Latin-1 here), dropped from a file manager:
    // it converts beside the source and into the destination under the same bytes.
    void namesThatAreNotUtf8Convert() {
        QTemporaryDir out;
        const QByteArray folder = QFile::encodeName(m_media.path()) + "/caf\xE9";
        const QByteArray source = folder + "/ch\xE2teau \xFF.wav";
        QVERIFY(::mkdir(folder.constData(), 0755) == 0);
        const auto removeRaw = qScopeGuard([&] {
            for (const char* ext : {".wav", ".mp3"}) ::unlink((folder + "/ch\xE2teau \xFF" + ext));
            ::unlink(QFile::encodeName(out.path()) + "/ch\xE2teau \xFF.ogg");
            ::rmdir(folder.constData());
        });
        QFile tone(media("tone.wav"));
        QVERIFY(tone.open(QIODevice::ReadOnly));
        const QByteArray wav = tone.readAll();
        const int fd = ::open(source.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, wav.constData(), size_t(wav.size())), ssize_t(wav.size()));
        ::close(fd);

        QMimeData drop;
        drop.setData("text/uri-list", "file://" + source.toPercentEncoding("/") + "\r\n");
        list().AddDroppedFiles(&drop);
        QCOMPARE(list().count(), 1);
        QVERIFY(!list().path(0).contains(QChar::ReplacementCharacter));

        // Beside the source, as MP3; the folder to open is the source's own.
        form().Check1->setChecked(true);
        form().Combo4->setCurrentIndex(1);
        form().m_convert_Click();
        QCOMPARE(statuses(), QStringList({"Converted."}));
        const QUrl opened = m_dialogs.openedUrls.value(0);
        QCOMPARE(QByteArray::fromPercentEncoding(opened.path(QUrl::FullyEncoded).toLatin1()),
                 folder + "/");
        // Into the destination, as Ogg.
        setDestination(out.path());
        form().Combo4->setCurrentIndex(2);
        form().m_convert_Click();
        QCOMPARE(statuses(), QStringList({"Converted."}));

        // Probe copies under plain names: the tools take their arguments as text.
        const QList<QPair<QByteArray, QString>> outputs{
            {folder + "/ch\xE2teau \xFF.mp3", out.filePath("check.mp3")},
            {QFile::encodeName(out.path()) + "/ch\xE2teau \xFF.ogg", out.filePath("check.ogg")}};
        for (const auto& [raw, plain] : outputs) {
            QVERIFY2(::rename(raw.constData(), QFile::encodeName(plain).constData()) == 0,
                     raw.constData());
            const auto p = probe(plain);
            QVERIFY2(p.ok, qPrintable(p.error));
            QVERIFY(qAbs(p.duration - 2.0) < 0.1);
        }
    }

    // A free 255-byte name converts; its copy name would be too long for the
    // file system, so the row fails rather than touch the existing file.
    void copyNameTooLongFailsWithoutOverwriting() {
        QTemporaryDir out;
        setDestination(out.path());
        const QString name = QString(125, QChar(0xE9)) + "x.wav";
        const QString output = out.filePath(name.chopped(4) + ".ogg");
        form().Combo4->setCurrentIndex(2);
        addRows({tone(name), tone(name)});
        form().m_convert_Click();
        QCOMPARE(statuses(), QStringList({"Converted.", "Failed."}));
        QVERIFY(statusTip(1).contains("long", Qt::CaseInsensitive));
        QVERIFY(probe(output).ok);
        QCOMPARE(QDir(out.path()).entryList(QDir::Files).size(), 1);
    }
};

BATCH_TEST_MAIN(BatchFaultsTest)

#include "tst_batch_faults.moc"
