// Tags and cover art through real conversions: sources tagged by ffmpeg,
// pictures added with TagLib, outputs read back with TagLib.
#include "core/ConversionJob.h"
#include "core/Tags.h"
#include "support/AudioFixtures.h"
#include "support/BatchRecorder.h"

#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/mp4tag.h>
#include <taglib/mpegfile.h>
#include <taglib/mp4file.h>
#include <taglib/opusfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/apetag.h>
#include <taglib/wavpackfile.h>

#include <QtTest>

using core::OutputFormat;
using namespace TagLib;

namespace {

// ffmpeg's name, TagLib's, RIFF INFO's (empty: ffmpeg keeps it out of INFO), value.
struct Field {
    const char *ffmpeg, *key, *info, *value;
};
const Field kFields[] = {
    {"title", "TITLE", "INAM", "Tïtle 題名 🎵"},  {"artist", "ARTIST", "IART", "Ärtist Ωmega"},
    {"album", "ALBUM", "IPRD", "Albüm"},         {"album_artist", "ALBUMARTIST", "", "Vários"},
    {"track", "TRACKNUMBER", "IPRT", "3/12"},    {"disc", "DISCNUMBER", "", "1/2"},
    {"date", "DATE", "ICRD", "2021-05-04"},      {"genre", "GENRE", "IGNR", "Jazz"},
    {"comment", "COMMENT", "ICMT", "Cömment ✓"}, {"composer", "COMPOSER", "", "Compøser"},
};
// Sources and ffmpeg's encoders for them; the MP3 also gets an ID3v1 tag.
const QStringList kKinds =
    QString("flac:flac mp3:libmp3lame m4a:aac ogg:libvorbis wav:pcm_s16le").split(' ');

}  // namespace

class TagsTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QByteArray front_, back_;  // the covers: a red and a blue PNG

    static QString text(const String& s) { return QString::fromStdString(s.to8Bit(true)); }
    static ByteVector bytes(const QByteArray& b) { return {b.constData(), uint(b.size())}; }
    static QString picture(int type, const String& mime, const ByteVector& data) {
        const quint16 sum = qChecksum(QByteArrayView(data.data(), data.size()));
        return QString("PIC %1 %2 %3").arg(type).arg(text(mime)).arg(sum);
    }

    // input: ffmpeg's lavfi source; tagged: all of kFields the format holds.
    QString make(const QString& name, const QString& input, const QString& codec, bool tagged) {
        QStringList args = QString("-v error -y -f lavfi -i %1 -t 1.5 -frames:v 1 -c %2")
                               .arg(input, codec)
                               .split(' ');
        for (const Field& f : kFields)
            if (tagged && (*f.info || !name.endsWith(".wav")))
                args << "-metadata" << QString("%1=%2").arg(f.ffmpeg, f.value);
        fixtures::run("ffmpeg", args << dir_.filePath(name));
        return dir_.filePath(name);
    }

    // Adds a picture of that type the way the source's format keeps pictures.
    static bool addPicture(const QString& path, int type, const QByteArray& data) {
        FileRef ref(QFile::encodeName(path).constData(), false);
        auto flac = std::make_unique<FLAC::Picture>();
        flac->setType(FLAC::Picture::Type(type));
        flac->setMimeType("image/png");
        flac->setData(bytes(data));
        auto apic = std::make_unique<ID3v2::AttachedPictureFrame>();
        apic->setType(ID3v2::AttachedPictureFrame::Type(type));
        apic->setMimeType("image/png");
        apic->setPicture(bytes(data));
        if (auto* f = dynamic_cast<FLAC::File*>(ref.file())) f->addPicture(flac.release());
        if (auto* t = dynamic_cast<Ogg::XiphComment*>(ref.tag())) t->addPicture(flac.release());
        if (auto* t = dynamic_cast<MP4::Tag*>(ref.tag()))
            t->setItem("covr", MP4::CoverArtList().append({MP4::CoverArt::PNG, bytes(data)}));
        if (auto* f = dynamic_cast<RIFF::WAV::File*>(ref.file()))
            f->ID3v2Tag()->addFrame(apic.release());
        if (auto* f = dynamic_cast<MPEG::File*>(ref.file())) {
            f->ID3v2Tag(true)->addFrame(apic.release());
            f->ID3v1Tag(true);  // the save fills it in
        }
        return ref.save();
    }

    // Every field, totals joined to their numbers, in key order.
    static QString fields(PropertyMap map) {
        for (const auto& [n, t] :
             {std::pair{"TRACKNUMBER", "TRACKTOTAL"}, {"DISCNUMBER", "DISCTOTAL"}})
            if (map.contains(t))
                map.replace(n, map[n].front() + "/" + map[t].front()), map.erase(t);
        QStringList parts;
        for (const auto& [key, values] : map) parts << text(key + "=" + values.toString(";"));
        return parts.join('|');
    }
    static QString id3(const ID3v2::Tag* tag) {
        QStringList parts{QString("v2.%1").arg(tag->header()->majorVersion()),
                          fields(tag->properties())};
        for (const ID3v2::Frame* f : tag->frameList("APIC"))
            if (auto* p = dynamic_cast<const ID3v2::AttachedPictureFrame*>(f))
                parts << picture(p->type(), p->mimeType(), p->picture());
        return parts.join(' ');
    }

    // Everything the output's tags hold, as one line; empty when it has none.
    static QString readBack(const QString& path, OutputFormat format) {
        const QByteArray name = QFile::encodeName(path);
        QStringList parts;
        if (format == OutputFormat::Mp3) {
            MPEG::File f(name.constData(), false);
            if (f.hasID3v1Tag()) parts << "id3v1";
            if (f.hasID3v2Tag()) parts << id3(f.ID3v2Tag());
        } else if (format == OutputFormat::Ogg || format == OutputFormat::Opus) {
            const std::unique_ptr<Ogg::File> f(
                format == OutputFormat::Ogg
                    ? static_cast<Ogg::File*>(new Ogg::Vorbis::File(name.constData(), false))
                    : new Ogg::Opus::File(name.constData(), false));
            auto* comment = static_cast<Ogg::XiphComment*>(f->tag());
            parts << fields(comment->properties());
            for (const FLAC::Picture* p : comment->pictureList())
                parts << picture(p->type(), p->mimeType(), p->data());
        } else if (format == OutputFormat::Flac) {
            FLAC::File f(name.constData(), false);
            if (f.hasID3v2Tag()) parts << "id3";
            parts << fields(f.properties());
            for (const FLAC::Picture* p : f.pictureList())
                parts << picture(p->type(), p->mimeType(), p->data());
        } else if (format == OutputFormat::Aac || format == OutputFormat::Alac) {
            MP4::File f(name.constData(), false);
            parts << fields(f.properties());
            if (f.tag()->contains("covr"))
                for (const MP4::CoverArt& c : f.tag()->item("covr").toCoverArtList())
                    parts << picture(3, c.format() == MP4::CoverArt::PNG ? "image/png" : "?",
                                     c.data());
        } else if (format == OutputFormat::WavPack) {
            WavPack::File f(name.constData(), false);
            if (f.hasID3v1Tag()) parts << "id3v1";
            parts << fields(f.properties());
            if (f.hasAPETag())
                for (const auto& [key, item] : f.APETag()->itemListMap())
                    if (key == "COVER ART (FRONT)") {
                        const ByteVector value = item.binaryData();
                        parts << picture(3, "image/png", value.mid(value.find('\0') + 1));
                    }
        } else {
            RIFF::WAV::File f(name.constData(), false);
            QStringList info;
            for (const auto& [id, value] : f.InfoTag()->fieldListMap())
                info << QString(QByteArray(id.data(), 4)) + "=" + text(value);
            if (f.hasInfoTag()) parts << "INFO{" + info.join('|') + "}";
            if (f.hasID3v2Tag()) parts << id3(f.ID3v2Tag());
        }
        parts.removeAll(QString());
        return parts.join(' ');
    }

private slots:
    void initTestCase() {
        front_ = fixtures::readFile(make("red.png", "color=c=red:s=8x8", "png", false));
        back_ = fixtures::readFile(make("blue.png", "color=c=blue:s=8x8", "png", false));
        for (const QString& kind : kKinds) {
            const QString name = "s." + kind.section(':', 0, 0), codec = kind.section(':', 1);
            QVERIFY(QFileInfo(make(name, "sine", codec, true)).size() > 0);
            if (!name.endsWith(".m4a"))
                QVERIFY(addPicture(dir_.filePath(name), 4, back_));  // MP4 has no types
            QVERIFY(addPicture(dir_.filePath(name), 3, front_));
            // Holding no more than what ffmpeg adds of itself: an encoder name.
            QVERIFY(QFileInfo(make("plain" + name.mid(1), "sine", codec, false)).size() > 0);
        }
        // A picture too large to carry, and an MP4 tag item whose size is broken.
        QVERIFY(addPicture(make("big.mp3", "sine", "libmp3lame", true), 3,
                           front_.repeated((17 << 20) / front_.size())));
        QByteArray m4a = fixtures::readFile(dir_.filePath("s.m4a"));
        m4a.replace(m4a.indexOf("ilst") + 4, 4, QByteArray("\0\0\0\4", 4));
        QVERIFY(fixtures::writeFile(dir_.filePath("broken.m4a"), m4a));
    }

    void artistAndTitleForTheList() {
        const QString both = QString("%1 - %2").arg(kFields[1].value, kFields[0].value);
        QCOMPARE(core::artistAndTitle(dir_.filePath("s.ogg")), both);
        QCOMPARE(core::artistAndTitle(dir_.filePath("s.wav")), both);
        QCOMPARE(core::artistAndTitle(dir_.filePath("plain.mp3")), QString());
    }

    // Each source, tagged and tagless, to each format; then no copy asked,
    // a broken tag and a picture too large: what the output's tags hold and
    // the note the job gives.
    void tagsTravelWithTheAudio() {
        const QString front = picture(3, "image/png", bytes(front_));
        QList<std::tuple<QString, int, bool, QString, QString>> rows;
        QString mp3;
        for (const QString& kind : kKinds) {
            const QString name = "s." + kind.section(':', 0, 0);
            QStringList all, info;  // sorted as TagLib sorts them
            for (const Field& f : kFields) {
                if (*f.info) info << QString("%1=%2").arg(f.info, f.value);
                if (*f.info || !name.endsWith(".wav")) all << QString("%1=%2").arg(f.key, f.value);
            }
            std::sort(all.begin(), all.end());
            std::sort(info.begin(), info.end());
            const QString id3 = "v2.4 " + all.join('|') + " " + front;
            const QStringList expected{"INFO{" + info.join('|') + "} " + id3,
                                       (name.endsWith(".mp3") ? "id3v1 " : "") + id3,
                                       all.join('|') + " " + front};
            // Every format gets every source; the tagless sources go to the first three.
            for (const core::FormatInfo& f : core::outputFormats()) {
                const int format = int(f.format);
                rows << std::tuple{name, format, true, expected[std::min(format, 2)], QString()};
                if (format < 3 || name.endsWith(".flac"))
                    rows << std::tuple{"plain" + name.mid(1), format, true, QString(), QString()};
            }
            if (name.endsWith(".mp3")) mp3 = expected[1].chopped(front.size() + 1);
        }
        rows << std::tuple{"s.flac", 1, false, "", ""}
             << std::tuple{"broken.m4a", 2, true, "", "could not be read"}
             << std::tuple{"big.mp3", 1, true, mp3, "larger than 16 MB"};
        for (const auto& [source, format, copy, expected, note] : rows) {
            const core::JobSpec spec{
                dir_.filePath(source), OutputFormat(format), {128, 44100, true}, true, {}, copy};
            // Other WAV codecs get tags alike: IMA ADPCM for the Ogg source.
            const bool ima = source == "s.ogg";
            const QByteArray wave = fixtures::waveFormat(
                ima ? "IMA ADPCM" : "PCM", QString("44100 Hz, %1 bit, Stereo").arg(ima ? 4 : 16));
            core::ConversionJob::Environment env;
            env.askWaveFormat = [wave] { return core::WaveFormatAnswer{wave, false}; };
            const QString out = dir_.filePath(QString("out %1 to %2.%3")
                                                  .arg(source)
                                                  .arg(format)
                                                  .arg(core::outputExtension(*spec.format)));
            const std::atomic<bool> stop{false};
            const core::JobResult r = core::ConversionJob(spec, out, env).run(stop);
            QVERIFY2(r.outcome == core::JobOutcome::Converted, qPrintable(source + ": " + r.reason));
            QVERIFY2(note.isEmpty() ? r.note.isEmpty() : r.note.contains(note), qPrintable(r.note));
            QVERIFY2(readBack(r.outputPath, OutputFormat(format)) == expected,
                     qPrintable(out + ": " + readBack(r.outputPath, OutputFormat(format))));
        }
    }
};

QTEST_GUILESS_MAIN(TagsTest)
#include "tst_tags.moc"
