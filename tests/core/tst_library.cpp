// A music library converted again and again: the one folder walk, what an
// existing output means, and names made from tags.
#include "core/AudioFiles.h"
#include "core/Batch.h"
#include "core/NamePattern.h"
#include "core/NativePath.h"
#include "core/Settings.h"
#include "support/AudioFixtures.h"
#include "support/BatchRecorder.h"

#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

#include <tuple>

namespace {

using core::ExistingOutput;
using core::JobOutcome;

// A tag of the file as ffprobe reads it ("-3.21 dB" read as -3.21).
double tagNumber(const QString& path, const QString& key) {
    QByteArray text;
    if (!fixtures::run("ffprobe",
                       {"-v", "error", "-show_entries", "format_tags=" + key, "-of",
                        "default=nw=1:nk=1", path},
                       nullptr, &text))
        return qQNaN();
    bool ok = false;
    const double value = QString::fromUtf8(text).section(' ', 0, 0).trimmed().toDouble(&ok);
    return ok ? value : qQNaN();
}

// ffmpeg's own integrated loudness of the files played one after another.
double ffmpegLoudness(const QStringList& paths) {
    QStringList args{"-nostats"};
    QString inputs, log;
    for (int i = 0; i < paths.size(); ++i)
        args << "-i" << paths[i], inputs += QString("[%1:a]").arg(i);
    args << "-filter_complex" << inputs + QString("concat=n=%1:v=0:a=1,ebur128").arg(paths.size());
    fixtures::run("ffmpeg", args + QStringList{"-f", "null", "-"}, &log);
    // The graph may be set up twice; the last summary is the real one.
    const QRegularExpressionMatch m = QRegularExpression("I:\\s*(-?[\\d.]+) LUFS")
                                          .match(log, log.lastIndexOf("Integrated loudness:"));
    return m.hasMatch() ? m.captured(1).toDouble() : qQNaN();
}

// Runs the jobs as one batch and returns each job's result.
QList<core::JobResult> runBatch(const QList<core::JobSpec>& jobs) {
    fixtures::BatchRecorder rec;
    return rec.runJobs(jobs) ? rec.results.values() : QList<core::JobResult>();
}

core::JobSpec mp3Job(const QString& source, const QString& destination, ExistingOutput rule) {
    core::JobSpec spec = fixtures::jobs({source}, core::OutputFormat::Mp3, destination).value(0);
    spec.sameFolder = destination.isEmpty();
    spec.existing = rule;
    return spec;
}

// "name: OLD" for a file still holding the old bytes, "name: mp3" for a
// converted one, "name/" for a folder.
QStringList contents(const QString& dir) {
    QStringList out;
    for (const QFileInfo& f : QDir(dir).entryInfoList(
             QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name)) {
        if (f.isDir())
            out << f.fileName() + "/";
        else
            out << f.fileName() + ": " +
                       (fixtures::readFile(f.filePath()) == "OLD"
                            ? QString("OLD")
                            : fixtures::probe(f.filePath()).codec);
    }
    return out;
}

}  // namespace

class LibraryTest : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;
    QString tone_;  // 1 s, 44100 Hz stereo
    QString broken_;

    QString freshDir(const QString& name) const { return fixtures::freshDir(tmp_.filePath(name)); }

private slots:
    void initTestCase() {
        const QString src = freshDir("src");
        tone_ = fixtures::makeWav(src, "song.wav", 1.0, 44100, 2);
        broken_ = src + "/broken.wav";
        QVERIFY(!tone_.isEmpty() && fixtures::writeFile(broken_, QByteArray(40000, 'Z')));
    }

    // Rule, source, what stands at the plain name, outcome, the folder after.
    // Skip opens no decoder, so a broken source is skipped; Replace puts the
    // new file in place only once it is checked, never over a folder.
    void existingOutputs() {
        using enum ExistingOutput;
        const QString song = "song.mp3", broken = "broken.mp3";
        // clang-format off
        const std::tuple<ExistingOutput, bool, QString, QString, JobOutcome, QStringList> rows[] = {
            {MakeCopy, true, song, "", JobOutcome::Converted, {"song (copy).mp3: mp3", "song.mp3: OLD"}},
            {Skip, false, broken, "", JobOutcome::Skipped, {"broken.mp3: OLD"}},
            {Skip, true, "", "", JobOutcome::Converted, {"song.mp3: mp3"}},
            {Skip, true, "", song, JobOutcome::Converted, {"song (copy).mp3: mp3", "song.mp3/"}},
            {Replace, true, song, "", JobOutcome::Converted, {"song.mp3: mp3"}},
            {Replace, false, broken, "", JobOutcome::Failed, {"broken.mp3: OLD"}},
            {Replace, true, "", song, JobOutcome::Converted, {"song (copy).mp3: mp3", "song.mp3/"}}};
        // clang-format on
        for (const auto& [rule, good, oldFile, folder, outcome, after] : rows) {
            const QString out = freshDir("existing");
            if (!oldFile.isEmpty()) QVERIFY(fixtures::writeFile(out + "/" + oldFile, "OLD"));
            if (!folder.isEmpty()) QVERIFY(QDir(out).mkdir(folder));
            const QList<core::JobResult> r = runBatch({mp3Job(good ? tone_ : broken_, out, rule)});
            QCOMPARE(r.size(), 1);
            QCOMPARE(r[0].outcome, outcome);
            QCOMPARE(contents(out), after);
        }
    }

    // MP3 to MP3 beside itself: the source is never the output, whatever the rule.
    void sourceIsNeverTheOutput() {
        const QString dir = freshDir("beside");
        const QString mp3 = fixtures::makeEncoded(dir, "x.mp3", 1.0, 44100, 2, "libmp3lame");
        const QByteArray original = fixtures::readFile(mp3);
        for (ExistingOutput rule : {ExistingOutput::Skip, ExistingOutput::Replace}) {
            QFile::remove(dir + "/x (copy).mp3");
            const QList<core::JobResult> r = runBatch({mp3Job(mp3, {}, rule)});
            QCOMPARE(r.value(0).outcome, JobOutcome::Converted);
            QCOMPARE(r[0].outputPath, dir + "/x (copy).mp3");
            QVERIFY(fixtures::readFile(mp3) == original);
        }
    }

    // The output choices under their named keys: absent while they are the
    // defaults, read back as saved, and a value the window could not have
    // written keeps what the settings held.
    void outputChoicesAreRemembered() {
        const QString path = tmp_.filePath("settings.ini");
        QVERIFY(fixtures::writeFile(path, "[Main]\n"));
        core::Settings s, loaded, fresh;
        core::saveSettings(s, path);
        QVERIFY(!fixtures::readFile(path).contains("Existing"));
        s.existingOutputs = ExistingOutput::Replace;
        s.namePattern = "{artist}/{title}";
        s.recreateSubFolders = true;
        s.replayGain = core::ReplayGain::Album;
        core::saveSettings(s, path);
        core::loadSettings(loaded, path);
        const auto choices = [](const core::Settings& c) {
            return std::tuple(c.existingOutputs, c.namePattern, c.recreateSubFolders, c.replayGain);
        };
        QVERIFY(choices(loaded) == choices(s));
        QVERIFY(fixtures::writeFile(path,
                                    "[Main]\nExistingOutputs=7\nNamePattern={x}\nReplayGain=-1\n"));
        core::loadSettings(fresh, path);
        QVERIFY(choices(fresh) == choices(core::Settings()));
    }

    // Two tracks of one album, one quieter: each output's track gain, and
    // the album gain of both, agree with ffmpeg's loudness of the same
    // outputs within 0.1 dB (gain = -18 - integrated loudness); a track of
    // another album in the same folder is an album of its own. The job
    // measures what it hands the encoder: at 320 kbps lame keeps it (band-
    // limited noise, as music mostly is); at 128 kbps it drops masked parts
    // and its output plays up to 0.6 dB quieter than measured.
    void replayGainAgreesWithFfmpeg() {
        const QString src = freshDir("album");
        QStringList sources;
        for (const auto& [name, amplitude, album] :
             {std::tuple{"1.flac", "0.5", "Duo"}, std::tuple{"2.flac", "0.3", "Duo"},
              std::tuple{"3.flac", "0.2", "Solo"}}) {
            sources << fixtures::makeFrom(
                src, name,
                QString("anoisesrc=color=pink:amplitude=%1:duration=4:seed=3,lowpass=f=12000")
                    .arg(amplitude),
                {"-ac", "2", "-metadata", QString("album=") + album});
            QVERIFY(!sources.last().isEmpty());
        }
        const QString out = freshDir("gained");
        QList<core::JobSpec> jobs;
        for (const QString& source : sources) {
            jobs << mp3Job(source, out, ExistingOutput::MakeCopy);
            jobs.last().replayGain = core::ReplayGain::Album;
            jobs.last().encoder.bitrate = 320;
        }
        const QList<core::JobResult> r = runBatch(jobs);
        QCOMPARE(r.size(), 3);
        QStringList outputs;
        for (const core::JobResult& result : r) {
            QCOMPARE(result.outcome, JobOutcome::Converted);
            outputs << result.outputPath;
            const double gain = tagNumber(result.outputPath, "REPLAYGAIN_TRACK_GAIN");
            const double expected = -18 - ffmpegLoudness({result.outputPath});
            QVERIFY2(qAbs(gain - expected) <= 0.1,
                     qPrintable(QString("%1 %2").arg(gain).arg(expected)));
            QVERIFY(tagNumber(result.outputPath, "REPLAYGAIN_TRACK_PEAK") > 0);
        }
        const double album = -18 - ffmpegLoudness(outputs.mid(0, 2));
        for (const QString& output : outputs.mid(0, 2))
            QVERIFY2(
                qAbs(tagNumber(output, "REPLAYGAIN_ALBUM_GAIN") - album) <= 0.1,
                qPrintable(
                    QString("%1 %2").arg(tagNumber(output, "REPLAYGAIN_ALBUM_GAIN")).arg(album)));
        QCOMPARE(tagNumber(outputs[2], "REPLAYGAIN_ALBUM_GAIN"),
                 tagNumber(outputs[2], "REPLAYGAIN_TRACK_GAIN"));
    }

    // Pattern, tags, sub-folder, the name below the destination.
    void namesFromTags() {
        const core::NameTags full{"AC/DC", "",  "Live\x01 ",  "T\tit\nle",
                                  "3/12",  "1", "2003-05-01", "Rock"};
        const core::NameTags none;
        const core::NameTags odd{"Björk", "", "...", "..Jóga.. ", "", "", "", ""};
        const QString long300 = QString(150, QChar(0xE9));  // 300 bytes of UTF-8
        const core::NameTags longTitle{"", "", "", long300, "", "", "", ""};
        // clang-format off
        const std::tuple<QString, core::NameTags, QString, QString> rows[] = {
            {"{artist}/{album}/{disc}-{track} {title} ({year}, {genre})", full, "", "AC_DC/Live_/01-03 T_it_le (2003, Rock)"},
            {"{albumartist}/{album}/{track} {title} {year} {genre}", none, "", "Unknown artist/Unknown album/00 song Unknown year Unknown genre"},
            {"{albumartist}/{album}/{title}", odd, "", "Björk/Unknown album/Jóga"},
            {"../.{artist}/{folder}/{name}", odd, "a/.b/ c /", "Björk/a/b/c/song"},
            {"{title}", longTitle, "", QString(127, QChar(0xE9))},
            {"{name}/", none, "", "song"}};
        // clang-format on
        for (const auto& [pattern, tags, sub, expected] : rows) {
            QVERIFY(core::checkNamePattern(pattern));
            QCOMPARE(core::expandNamePattern(pattern, "/m/ song .flac", sub, tags), expected);
        }
        for (const char* bad : {"{artst}", "{title", "x}"}) QVERIFY(!core::checkNamePattern(bad));
    }

    // Tags read from the source name its output; two rows naming the same
    // file take " (copy)"; the default pattern keeps the source's name.
    void patternNamesInABatch() {
        const QString src = freshDir("tagged");
        QStringList sources;
        for (const char* name : {"one.flac", "two.flac"})
            sources << fixtures::make(src, name, 0.5, 44100, 2,
                                      {"-c:a", "flac", "-metadata", "artist=Ana", "-metadata",
                                       "title=Lullaby", "-metadata", "album=Nights"});
        const QString out = freshDir("named");
        QList<core::JobSpec> jobs;
        for (const QString& s : sources) {
            jobs << mp3Job(s, out, ExistingOutput::MakeCopy);
            jobs.last().namePattern = "{artist}/{album}/{title}";
        }
        jobs << mp3Job(sources[0], out, ExistingOutput::MakeCopy);
        const QList<core::JobResult> r = runBatch(jobs);
        QCOMPARE(r.size(), 3);
        QCOMPARE(r[0].outputPath, out + "/Ana/Nights/Lullaby.mp3");
        QCOMPARE(r[1].outputPath, out + "/Ana/Nights/Lullaby (copy).mp3");
        QCOMPARE(r[2].outputPath, out + "/one.mp3");
        for (const core::JobResult& result : r) QCOMPARE(result.outcome, JobOutcome::Converted);
    }

    // Audio by extension in any case, hidden entries skipped, full-path byte
    // order ("a.wav" before "a/"), a folder reached again through a link or a
    // second argument walked once, a name that is not UTF-8 kept byte for byte.
    void walkFindsEachAudioFileOnce() {
        const QString root = tmp_.filePath("walk");
        const QByteArray latin1Name = "\xE9t\xE9.wav";
        for (const char* name : {"a.wav", "a/b.FLAC", "a/c/d.ogg", "a b.mp3", ".hidden/x.wav",
                                 "a/.x.wav", "notes.txt", "a/c/cover.jpg"})
            QVERIFY(!fixtures::touch(root + "/" + name).isEmpty());
        // QFile would name it in UTF-8.
        const int fd =
            ::open(QFile::encodeName(root + "/a/") + latin1Name, O_CREAT | O_WRONLY, 0644);
        QVERIFY(fd >= 0 && ::write(fd, "x", 1) == 1 && ::close(fd) == 0);
        QCOMPARE(::symlink("..", QFile::encodeName(root + "/a/c/up").constData()), 0);
        QCOMPARE(::symlink("a", QFile::encodeName(root + "/z").constData()), 0);

        QStringList found;
        core::FolderWalk walk;
        for (const QString& folder : {root, root + "/a"})
            QVERIFY(walk.walk(folder,
                              [&](const QString& path) { found << path.mid(root.size() + 1); }));
        const QString escaped = core::pathFromNative("a/" + latin1Name);
        QCOMPARE(found, (QStringList{"a b.mp3", "a.wav", "a/b.FLAC", "a/c/d.ogg", escaped}));
        QVERIFY(walk.errors().isEmpty());

        int calls = 0;
        core::FolderWalk stopped([&] { return ++calls > 2; });
        QVERIFY(!stopped.walk(root, [](const QString&) {}));

        const std::tuple<QString, QString, QString> below[] = {{"/m/a/b/x.wav", "/m", "a/b/"},
                                                               {"/m/x.wav", "/m/", ""},
                                                               {"/n/x.wav", "/m", ""},
                                                               {"/m/x.wav", "", ""}};
        for (const auto& [path, addedFrom, sub] : below)
            QCOMPARE(core::subFolderBelow(path, addedFrom), sub);
    }
};

QTEST_GUILESS_MAIN(LibraryTest)
#include "tst_library.moc"
