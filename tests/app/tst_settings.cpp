#include "app/IniFile.h"
#include "app/Settings.h"
#include "app/Startup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <unistd.h>
#include <csignal>

using namespace app;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& data) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

// Limits the size of files this process may write, like a nearly full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

}  // namespace

class SettingsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_tmp;
    AppState stateIn(const QString& folder) {
        AppState s;
        s.AppDataFolder = folder;
        s.SettingsPath = folder + "/settings.ini";
        return s;
    }

private slots:
    void numberRule_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("bits");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<qint64>("value");
        QTest::newRow("unit after digits") << "128kbps" << 32 << true << qint64(128);
        QTest::newRow("letters") << "abc" << 32 << true << qint64(0);
        QTest::newRow("empty") << "" << 16 << true << qint64(0);
        QTest::newRow("half to even down") << "22050.5" << 32 << true << qint64(22050);
        QTest::newRow("half to even up") << "13.5" << 32 << true << qint64(14);
        QTest::newRow("negative") << "-5" << 16 << true << qint64(-5);
        QTest::newRow("leading blank") << " 7" << 16 << true << qint64(7);
        QTest::newRow("leading tab") << "\t9x" << 16 << true << qint64(9);
        QTest::newRow("exponent") << "1.5e3Hz" << 32 << true << qint64(1500);
        QTest::newRow("bare exponent letter") << "4e" << 16 << true << qint64(4);
        QTest::newRow("point first") << ".6" << 16 << true << qint64(1);
        QTest::newRow("sign alone") << "-" << 16 << true << qint64(0);
        QTest::newRow("16-bit overflow") << "99999" << 16 << false << qint64(0);
        QTest::newRow("16-bit edge") << "32767" << 16 << true << qint64(32767);
        QTest::newRow("16-bit low edge") << "-32768" << 16 << true << qint64(-32768);
        QTest::newRow("32-bit overflow") << "2147483648" << 32 << false << qint64(0);
        QTest::newRow("huge exponent") << "1e999" << 32 << false << qint64(0);
        QTest::newRow("tiny exponent") << "-1e-400" << 16 << true << qint64(0);
        QTest::newRow("rounds into range") << "32767.4" << 16 << true << qint64(32767);
        QTest::newRow("rounds out of range") << "32767.5" << 16 << false << qint64(0);
    }

    void numberRule() {
        QFETCH(QString, text);
        QFETCH(int, bits);
        QFETCH(bool, fits);
        QFETCH(qint64, value);
        const auto n = IniNumber(text, bits);
        QCOMPARE(n.has_value(), fits);
        if (fits) QCOMPARE(*n, value);
    }

    void iniReadsByProfileRules() {
        const QString path = m_tmp.filePath("rules.ini");
        writeAll(path,
                 "; a comment\n[Other]\n0=other\n[ main ]\n  Key  =  spaced value  \n"
                 "q=\"quoted\"\nsingle='x'\nhalf=\"open\nnoequals\n[Main]\nkey=second section\n");
        QCOMPARE(ReadIniValue("MAIN", "key", path), QString("spaced value"));
        QCOMPARE(ReadIniValue("Main", "Q", path), QString("quoted"));
        QCOMPARE(ReadIniValue("Main", "single", path), QString("x"));
        QCOMPARE(ReadIniValue("Main", "half", path), QString("\"open"));
        QCOMPARE(ReadIniValue("Main", "noequals", path), QString());
        QCOMPARE(ReadIniValue("Main", "0", path), QString());
        QCOMPARE(ReadIniValue("Other", "0", path), QString("other"));
        QCOMPARE(ReadIniValue("Main", "missing", path), QString());
        QCOMPARE(ReadIniValue("Main", "key", m_tmp.filePath("absent.ini")), QString());
    }

    void writeKeepsEverythingElse() {
        const QString path = m_tmp.filePath("keep.ini");
        const QByteArray before =
            "; kept comment\r\n[Other]\r\nx = 1\r\n\r\n[Main]\r\n0=0\r\nunknown=keep me\r\n"
            "\r\n[Last]\r\ny=2\r\n";
        writeAll(path, before);
        QVERIFY(WriteIniValue("Main", "0", 1, path));
        QVERIFY(WriteIniValue("main", "6", 44100, path));
        QVERIFY(WriteIniValue("New", "k", "v", path));
        QCOMPARE(
            readAll(path),
            QByteArray("; kept comment\r\n[Other]\r\nx = 1\r\n\r\n[Main]\r\n0=1\r\n"
                       "unknown=keep me\r\n6=44100\r\n\r\n[Last]\r\ny=2\r\n\r\n[New]\r\nk=v\r\n"));
    }

    void bytesOfOtherLinesSurviveAWrite() {
        // A byte-order mark inside the text, alone or after a stray byte,
        // is text like any other.
        const QString path = m_tmp.filePath("bom.ini");
        const QByteArray kept =
            "\xEF\xBB\xBF[Main]\n\xEF\xBB\xBF"
            "a=1\nb=\xFF\xEF\xBB\xBF"
            "2\n";
        writeAll(path, kept);
        QVERIFY(WriteIniValue("Main", "3", 160, path));
        QCOMPARE(readAll(path), kept + "3=160\n");
    }

    void valuesThatWouldBreakTheFileAreRefused() {
        const QString path = m_tmp.filePath("inject.ini");
        writeAll(path, "[Main]\n2=/old\n");
        QVERIFY(!WriteIniValue("Main", "2", "/a\n[Main]\n3=999", path));
        QCOMPARE(ReadIniValue("Main", "2", path), QString("/old"));
        QCOMPARE(ReadIniValue("Main", "3", path), QString());
        // A key the reader takes for a comment could never be read back.
        QVERIFY(!WriteIniValue("Main", "#2", "x", path));
        QVERIFY(!WriteIniValue("Main", " ;2", "x", path));
    }

    void longValuesComeBackWhole() {
        const QString path = m_tmp.filePath("long.ini");
        const QString longFolder = "/" + QString(299, QChar(u'é'));
        QVERIFY(WriteIniValue("Main", "2", longFolder, path));
        QCOMPARE(ReadIniValue("Main", "2", path), longFolder);
    }

    void firstRunWritesExactlyTheDefaults() {
        QTemporaryDir dir;
        AppState state = stateIn(dir.path());
        StoredControls controls;
        CreateDefaultSettings(state, controls);
        const QString output = dir.path() + "/Output";
        QCOMPARE(QString::fromUtf8(readAll(state.SettingsPath)),
                 QString("[Main]\n0=1\n1=1\n2=%1\n3=160\n4=1\n5=1\n6=44100\n").arg(output));
        QCOMPARE(controls.formatSelection, 1);
        QCOMPARE(controls.destination, output);

        // A second run finds the file and changes nothing.
        state.Bitrate = 64;
        controls.check1 = 0;
        CreateDefaultSettings(state, controls);
        QCOMPARE(state.Bitrate, 64);
        QCOMPARE(ReadIniValue("Main", "0", state.SettingsPath), QString("1"));
    }

    void loadReadsEachKeyByItsRule() {
        QTemporaryDir dir;
        AppState state = stateIn(dir.path());
        writeAll(state.SettingsPath,
                 "[Main]\n0=2\n1=7\n2= /music/out \n3=128kbps\n4=99999\n5=0\n6=22050.5\n");
        state.FormatIndex = 2;
        StoredControls controls;
        controls.check2 = 1;
        LoadSettings(state, controls);
        QCOMPARE(controls.check1, 2);  // the grey state is accepted
        QCOMPARE(controls.check2, 1);  // 7 is refused by the box
        QCOMPARE(controls.destination, QString("/music/out"));
        QCOMPARE(state.Bitrate, 128);
        QCOMPARE(state.FormatIndex, qint16(2));  // out of 16-bit range: unchanged
        QCOMPARE(state.Stereo, qint16(0));
        QCOMPARE(state.SampleRate, 22050);
    }

    void missingKeysReadAsEmpty() {
        QTemporaryDir dir;
        AppState state = stateIn(dir.path());
        writeAll(state.SettingsPath, "[Main]\n0=1\n1=1\n2=/x\n3=160\n5=1\n6=44100\n");
        state.FormatIndex = 2;
        StoredControls controls;
        LoadSettings(state, controls);
        QCOMPARE(state.FormatIndex, qint16(0));
        QCOMPARE(state.Bitrate, 160);

        AppState none = stateIn(dir.path() + "/nowhere");
        none.Bitrate = 5;
        StoredControls empty;
        empty.destination = "was";
        LoadSettings(none, empty);
        QCOMPARE(none.Bitrate, 0);
        QCOMPARE(empty.destination, QString());
    }

    void saveWritesSevenKeysAndKeepsTheRest() {
        QTemporaryDir dir;
        AppState state = stateIn(dir.path());
        writeAll(state.SettingsPath, "# user note\n[Main]\n4=1\nextra=yes\n[Mine]\na=b\n");
        StoredControls controls;
        controls.check1 = 0;
        controls.check2 = 1;
        controls.destination = "/dest";
        state.Bitrate = 96;
        state.FormatIndex = -1;
        state.Stereo = 0;
        state.SampleRate = 8000;
        SaveSettings(state, controls);
        QCOMPARE(readAll(state.SettingsPath),
                 QByteArray("# user note\n[Main]\n4=-1\nextra=yes\n0=0\n1=1\n2=/dest\n3=96\n"
                            "5=0\n6=8000\n[Mine]\na=b\n"));
    }

    void failedSaveLeavesTheOldFileIntact() {
        QTemporaryDir dir;
        AppState state = stateIn(dir.path());
        StoredControls controls;
        CreateDefaultSettings(state, controls);
        const QByteArray before = readAll(state.SettingsPath);
        controls.destination = QString(4096, 'x');
        {
            FileSizeLimit limit(64);  // the write of the new file fails midway
            SaveSettings(state, controls);
        }
        QCOMPARE(readAll(state.SettingsPath), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"settings.ini"});
    }

    void startupFoldersUnderDocuments() {
        QTemporaryDir home;
        const QByteArray oldHome = qgetenv("HOME");
        const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8());
        AppState state;
        PrepareAppDataFolders(state);
        qputenv("HOME", oldHome);
        qputenv("XDG_CONFIG_HOME", oldConfig);
        QCOMPARE(state.AppDataFolder, home.path() + "/Documents/Quillmoor Sonbridge");
        QCOMPARE(state.SettingsPath, state.AppDataFolder + "/settings.ini");
        QVERIFY(QFileInfo(state.AppDataFolder + "/Output").isDir());
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "tst_settings.moc"
