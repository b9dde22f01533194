#include "core/Tags.h"

#include "core/NativePath.h"

#include <taglib/apefile.h>
#include <taglib/apetag.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/commentsframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/mp4file.h>
#include <taglib/mp4tag.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/wavpackfile.h>
#include <taglib/xiphcomment.h>

#include "core/UniqueFd.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <optional>

namespace core {

namespace {

using TagLib::ByteVector;
using TagLib::PropertyMap;
using TagLib::String;
using TagLib::StringList;
namespace ID3v2 = TagLib::ID3v2;

constexpr int kFrontCover = 3;  // the picture type shared by ID3v2 and FLAC

// The fields copied, by TagLib's property names, with the ID3v2 frame and
// the RIFF INFO field that hold each (empty: INFO has none). Numbers are
// kept apart from their totals (TRACKTOTAL, DISCTOTAL) as Vorbis comments
// keep them; ID3v2 and INFO join them as "3/12".
struct Field {
    const char* key;
    const char* id3;
    const char* info;
};
constexpr Field kFields[] = {
    {"TITLE", "TIT2", "INAM"},   {"ARTIST", "TPE1", "IART"}, {"ALBUM", "TALB", "IPRD"},
    {"ALBUMARTIST", "TPE2", ""}, {"DATE", "TDRC", "ICRD"},   {"GENRE", "TCON", "IGNR"},
    {"COMMENT", "COMM", "ICMT"}, {"COMPOSER", "TCOM", ""},   {"TRACKNUMBER", "TRCK", "IPRT"},
    {"DISCNUMBER", "TPOS", ""},
};

struct Picture {
    ByteVector data;
    String mimeType;
    String description;
    int type = kFrontCover;
};

struct SourceTags {
    PropertyMap text;  // kFields' keys, TRACKTOTAL and DISCTOTAL; no empty values
    std::optional<Picture> picture;
    bool id3v1 = false;  // MP3 keeps an ID3v1 tag only when the source had one
    bool empty() const { return text.isEmpty() && !picture; }
};

String toTagLib(const QString& text) {
    return String(text.toStdString(), String::UTF8);
}

QString fromTagLib(const String& text) {
    return QString::fromStdString(text.to8Bit(true));
}

StringList valuesOf(const PropertyMap& map, const String& key) {
    StringList values;
    if (const auto it = map.find(key); it != map.end())
        for (const String& v : it->second)
            if (!v.stripWhiteSpace().isEmpty()) values.append(v);
    return values;
}

String firstOf(const PropertyMap& map, const String& key) {
    const StringList values = valuesOf(map, key);
    return values.isEmpty() ? String() : values.front().stripWhiteSpace();
}

// "3/12", or "3" with the total under one of two names, into number and total.
void putNumber(const PropertyMap& raw, const String& key, const String& totalKey,
               const String& otherTotalKey, PropertyMap& out) {
    String number = firstOf(raw, key);
    String total = firstOf(raw, totalKey);
    if (total.isEmpty()) total = firstOf(raw, otherTotalKey);
    if (const int slash = number.find("/"); slash >= 0) {
        if (total.isEmpty()) total = number.substr(slash + 1).stripWhiteSpace();
        number = number.substr(0, slash).stripWhiteSpace();
    }
    if (!number.isEmpty()) out.insert(key, number);
    if (!total.isEmpty()) out.insert(totalKey, total);
}

// Our fields out of whatever names the source's format gave them.
PropertyMap normalised(const PropertyMap& raw) {
    PropertyMap text;
    for (const Field& f : kFields) {
        const StringList values = valuesOf(raw, f.key);
        if (!values.isEmpty() && String(f.key) != "TRACKNUMBER" && String(f.key) != "DISCNUMBER")
            text.insert(f.key, values);
    }
    // Vorbis comments name the comment either way.
    if (!text.contains("COMMENT") && !valuesOf(raw, "DESCRIPTION").isEmpty())
        text.insert("COMMENT", valuesOf(raw, "DESCRIPTION"));
    putNumber(raw, "TRACKNUMBER", "TRACKTOTAL", "TOTALTRACKS", text);
    putNumber(raw, "DISCNUMBER", "DISCTOTAL", "TOTALDISCS", text);
    return text;
}

// What the field becomes in a format that joins number and total.
StringList joinedValues(const PropertyMap& text, const Field& f) {
    const String key(f.key);
    if (key != "TRACKNUMBER" && key != "DISCNUMBER") return valuesOf(text, key);
    const String number = firstOf(text, key);
    const String total = firstOf(text, key == "TRACKNUMBER" ? "TRACKTOTAL" : "DISCTOTAL");
    if (number.isEmpty()) return {};
    return StringList(total.isEmpty() ? number : number + "/" + total);
}

// Formats that store no picture type (MP4, APE) don't say the mime type either.
String sniffedMimeType(const ByteVector& data) {
    if (data.startsWith("\x89PNG")) return "image/png";
    if (data.startsWith("GIF8")) return "image/gif";
    if (data.startsWith("BM")) return "image/bmp";
    return "image/jpeg";
}

// The front cover, else the first picture of a list.
template <typename List, typename Convert>
std::optional<Picture> chosen(const List& list, Convert convert) {
    std::optional<Picture> first;
    for (const auto* item : list) {
        if (!item) continue;
        Picture p = convert(*item);
        if (p.type == kFrontCover) return p;
        if (!first) first = std::move(p);
    }
    return first;
}

std::optional<Picture> pictureOf(const TagLib::List<TagLib::FLAC::Picture*>& list) {
    return chosen(list, [](const TagLib::FLAC::Picture& p) {
        return Picture{p.data(), p.mimeType(), p.description(), int(p.type())};
    });
}

std::optional<Picture> pictureOf(const ID3v2::Tag* tag) {
    if (!tag) return std::nullopt;
    TagLib::List<const ID3v2::AttachedPictureFrame*> frames;
    for (const ID3v2::Frame* frame : tag->frameList("APIC"))
        frames.append(dynamic_cast<const ID3v2::AttachedPictureFrame*>(frame));
    return chosen(frames, [](const ID3v2::AttachedPictureFrame& f) {
        return Picture{f.picture(), f.mimeType(), f.description(), int(f.type())};
    });
}

std::optional<Picture> pictureOf(const TagLib::MP4::Tag* tag) {
    if (!tag || !tag->contains("covr")) return std::nullopt;
    const TagLib::MP4::CoverArtList covers = tag->item("covr").toCoverArtList();
    if (covers.isEmpty()) return std::nullopt;
    const ByteVector data = covers.front().data();
    return Picture{data, sniffedMimeType(data), {}, kFrontCover};
}

// APE keeps a picture as "description\0bytes" under "COVER ART (FRONT)" and the like.
std::optional<Picture> pictureOf(const TagLib::APE::Tag* tag) {
    if (!tag) return std::nullopt;
    std::optional<Picture> first;
    for (const auto& [key, item] : tag->itemListMap()) {
        if (!key.startsWith("COVER ART") || item.type() != TagLib::APE::Item::Binary) continue;
        const ByteVector value = item.binaryData();
        const int nul = value.find('\0');
        if (nul < 0) continue;
        const ByteVector data = value.mid(nul + 1);
        const bool front = key == "COVER ART (FRONT)";
        Picture p{data, sniffedMimeType(data), String(value.mid(0, nul), String::UTF8),
                  front ? kFrontCover : 0};
        if (front) return p;
        if (!first) first = std::move(p);
    }
    return first;
}

// The source's fields under TagLib's names. WAV: INFO's fields, then the
// id3 chunk's, which hold more and win (TagLib would give only one of them).
PropertyMap propertiesOf(TagLib::File& file) {
    auto* wavFile = dynamic_cast<TagLib::RIFF::WAV::File*>(&file);
    if (!wavFile) return file.properties();
    TagLib::RIFF::WAV::File& wav = *wavFile;
    PropertyMap raw;
    if (wav.hasInfoTag()) {
        const TagLib::RIFF::Info::Tag* info = wav.InfoTag();
        for (const Field& f : kFields)
            if (*f.info && !info->fieldText(f.info).isEmpty())
                raw.replace(f.key, info->fieldText(f.info));
        if (!raw.contains("TRACKNUMBER") && !info->fieldText("ITRK").isEmpty())
            raw.replace("TRACKNUMBER", info->fieldText("ITRK"));
    }
    if (wav.hasID3v2Tag())
        for (const auto& [key, values] : wav.ID3v2Tag()->properties()) raw.replace(key, values);
    return raw;
}

struct Read {
    SourceTags tags;
    bool readable = true;
    QString note;
};

Read readSource(const QString& path) {
    Read read;
    const QByteArray name = nativePath(path);
    TagLib::FileRef ref(name.constData(), false);
    if (ref.isNull()) {
        // Formats TagLib doesn't know (VOX, raw PCM) hold no tags; a file of
        // a kind it knows but can't parse is worth a word.
        const String suffix = toTagLib(QFileInfo(path).suffix().toLower());
        if (TagLib::FileRef::defaultFileExtensions().contains(suffix)) {
            read.readable = false;
            read.note = QCoreApplication::translate(
                "core", "Tags not copied: the source's tags could not be read");
        }
        return read;
    }
    TagLib::File* file = ref.file();
    std::optional<Picture> picture;
    if (auto* mp3 = dynamic_cast<TagLib::MPEG::File*>(file)) {
        read.tags.id3v1 = mp3->hasID3v1Tag();
        if (mp3->hasID3v2Tag()) picture = pictureOf(mp3->ID3v2Tag());
        if (!picture && mp3->hasAPETag()) picture = pictureOf(mp3->APETag());
    } else if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(file)) {
        picture = pictureOf(flac->pictureList());
        if (!picture && flac->hasXiphComment())
            picture = pictureOf(flac->xiphComment()->pictureList());
        if (!picture && flac->hasID3v2Tag()) picture = pictureOf(flac->ID3v2Tag());
    } else if (auto* wav = dynamic_cast<TagLib::RIFF::WAV::File*>(file)) {
        if (wav->hasID3v2Tag()) picture = pictureOf(wav->ID3v2Tag());
    } else if (auto* ape = dynamic_cast<TagLib::APE::File*>(file)) {
        if (ape->hasAPETag()) picture = pictureOf(ape->APETag());
    } else if (auto* wavPack = dynamic_cast<TagLib::WavPack::File*>(file)) {
        if (wavPack->hasAPETag()) picture = pictureOf(wavPack->APETag());
    } else if (auto* xiph = dynamic_cast<TagLib::Ogg::XiphComment*>(file->tag())) {
        picture = pictureOf(xiph->pictureList());  // Vorbis, Opus, Speex, Ogg FLAC
    } else if (auto* mp4 = dynamic_cast<TagLib::MP4::Tag*>(file->tag())) {
        picture = pictureOf(mp4);
    } else {
        picture = pictureOf(dynamic_cast<const ID3v2::Tag*>(file->tag()));  // AIFF
    }
    read.tags.text = normalised(propertiesOf(*file));
    if (picture && picture->data.size() > kMaxPictureBytes) {
        read.note =
            QCoreApplication::translate("core", "Cover art left out: it is larger than 16 MB");
        picture.reset();
    }
    if (picture && !picture->data.isEmpty()) read.tags.picture = std::move(picture);
    return read;
}

// Everything as UTF-8 frames of ID3v2.4, in place of what the tag held.
void fillId3v2(ID3v2::Tag& tag, const SourceTags& tags) {
    // A copy of the frame list would share it, and the tag's own would lose
    // its ownership of the frames when it detached.
    while (!tag.frameList().isEmpty()) tag.removeFrame(tag.frameList().front());
    for (const Field& f : kFields) {
        const StringList values = joinedValues(tags.text, f);
        if (values.isEmpty()) continue;
        if (String(f.id3) == "COMM") {
            auto* comment = new ID3v2::CommentsFrame(String::UTF8);
            comment->setText(values.toString("; "));
            tag.addFrame(comment);
            continue;
        }
        auto* frame = new ID3v2::TextIdentificationFrame(ByteVector(f.id3), String::UTF8);
        frame->setText(values);
        tag.addFrame(frame);
    }
    if (const auto& p = tags.picture) {
        auto* frame = new ID3v2::AttachedPictureFrame;
        frame->setTextEncoding(String::UTF8);
        frame->setMimeType(p->mimeType.isEmpty() ? sniffedMimeType(p->data) : p->mimeType);
        frame->setDescription(p->description);
        frame->setType(ID3v2::AttachedPictureFrame::Type(p->type));
        frame->setPicture(p->data);
        tag.addFrame(frame);
    }
}

// False when TagLib could not save.
bool writeMp3(const char* name, const SourceTags& tags) {
    TagLib::MPEG::File file(name, false);
    if (!file.isValid()) return false;
    if (tags.empty() && !file.hasID3v2Tag() && !file.hasID3v1Tag() && !file.hasAPETag())
        return true;
    fillId3v2(*file.ID3v2Tag(true), tags);
    int kinds = TagLib::MPEG::File::ID3v2;
    if (tags.id3v1) {
        TagLib::Tag::duplicate(file.ID3v2Tag(), file.ID3v1Tag(true), true);
        kinds |= TagLib::MPEG::File::ID3v1;
    }
    return file.save(kinds, TagLib::File::StripOthers, ID3v2::v4, TagLib::File::DoNotDuplicate);
}

TagLib::FLAC::Picture* flacPicture(const Picture& p) {
    auto* picture = new TagLib::FLAC::Picture;
    picture->setType(TagLib::FLAC::Picture::Type(p.type));
    picture->setMimeType(p.mimeType.isEmpty() ? sniffedMimeType(p.data) : p.mimeType);
    picture->setDescription(p.description);
    picture->setData(p.data);
    return picture;
}

void fillXiph(TagLib::Ogg::XiphComment& comment, const SourceTags& tags) {
    comment.removeAllFields();
    comment.removeAllPictures();
    for (const auto& [key, values] : tags.text)
        for (const String& value : values) comment.addField(key, value, false);
    if (tags.picture) comment.addPicture(flacPicture(*tags.picture));  // the comment owns it
}

// Ogg Vorbis and Opus keep everything in one comment packet.
template <typename OggFile>
bool writeOgg(const char* name, const SourceTags& tags) {
    OggFile file(name, false);
    if (!file.isValid()) return false;
    TagLib::Ogg::XiphComment* comment = file.tag();
    if (tags.empty() && comment->fieldCount() == 0) return true;
    fillXiph(*comment, tags);
    return file.save();
}

// FLAC: the comments in a VORBIS_COMMENT block, the picture in its own PICTURE block.
bool writeFlac(const char* name, const SourceTags& tags) {
    TagLib::FLAC::File file(name, false);
    if (!file.isValid()) return false;
    if (tags.empty() && !file.hasXiphComment() && file.pictureList().isEmpty()) return true;
    SourceTags text = tags;
    text.picture.reset();
    fillXiph(*file.xiphComment(true), text);
    file.removePictures();
    if (tags.picture) file.addPicture(flacPicture(*tags.picture));
    return file.save();
}

// MP4 and APE join numbers and totals ("3/12") under their own names.
PropertyMap joinedProperties(const SourceTags& tags) {
    PropertyMap joined;
    for (const Field& f : kFields)
        if (const StringList values = joinedValues(tags.text, f); !values.isEmpty())
            joined.insert(f.key, values);
    return joined;
}

bool writeMp4(const char* name, const SourceTags& tags) {
    TagLib::MP4::File file(name, false);
    if (!file.isValid() || !file.hasMP4Tag()) return false;
    TagLib::MP4::Tag* tag = file.tag();
    if (tags.empty() && tag->isEmpty()) return true;
    const TagLib::MP4::ItemMap items = tag->itemMap();  // removing would change the map
    for (const auto& [key, item] : items) tag->removeItem(key);
    tag->setProperties(joinedProperties(tags));
    if (const auto& p = tags.picture) {
        const String mime = p->mimeType.isEmpty() ? sniffedMimeType(p->data) : p->mimeType;
        const auto kind = mime == "image/png"   ? TagLib::MP4::CoverArt::PNG
                          : mime == "image/gif" ? TagLib::MP4::CoverArt::GIF
                          : mime == "image/bmp" ? TagLib::MP4::CoverArt::BMP
                                                : TagLib::MP4::CoverArt::JPEG;
        tag->setItem("covr", TagLib::MP4::CoverArtList().append({kind, p->data}));
    }
    return file.save();
}

// WavPack: an APEv2 tag, the picture as "description\0bytes".
bool writeWavPack(const char* name, const SourceTags& tags) {
    TagLib::WavPack::File file(name, false);
    if (!file.isValid()) return false;
    if (tags.empty() && !file.hasAPETag() && !file.hasID3v1Tag()) return true;
    TagLib::APE::Tag* tag = file.APETag(true);
    const TagLib::APE::ItemListMap items = tag->itemListMap();  // removing would change the map
    for (const auto& [key, item] : items) tag->removeItem(key);
    tag->setProperties(joinedProperties(tags));
    if (const auto& p = tags.picture) {
        ByteVector value = p->description.data(String::UTF8);
        value.append('\0');
        value.append(p->data);
        tag->setData(p->type == kFrontCover ? "Cover Art (Front)" : "Cover Art (Other)", value);
    }
    file.strip(TagLib::WavPack::File::ID3v1);
    return file.save();
}

// INFO holds the text that players reading only INFO show; the id3 chunk
// holds every field and the picture, as players that read it look nowhere else.
bool writeWav(const char* name, const SourceTags& tags) {
    TagLib::RIFF::WAV::File file(name, false);
    if (!file.isValid()) return false;
    if (tags.empty() && !file.hasID3v2Tag() && !file.hasInfoTag()) return true;
    TagLib::RIFF::Info::Tag* info = file.InfoTag();
    for (const auto& [id, text] : info->fieldListMap()) info->removeField(id);
    for (const Field& f : kFields) {
        const StringList values = joinedValues(tags.text, f);
        if (*f.info && !values.isEmpty()) info->setFieldText(f.info, values.toString("; "));
    }
    fillId3v2(*file.ID3v2Tag(), tags);
    return file.save(TagLib::RIFF::WAV::File::AllTags, TagLib::File::StripOthers, ID3v2::v4);
}

// TagLib ignores failed writes, so a disk that fills while it saves leaves
// a cut-off file it calls saved. Room for the tags is taken first instead,
// beyond the file's end (its size unchanged); false when the disk has none.
bool reserveRoom(const QByteArray& name, const SourceTags& tags) {
    qint64 text = 0;
    for (const auto& [key, values] : tags.text) text += qint64(values.toString().size());
    // ID3v2, INFO and ID3v1 each hold the text; Ogg keeps the picture in base64.
    const qint64 bytes =
        128 * 1024 + 12 * text + (tags.picture ? 2 * qint64(tags.picture->data.size()) : 0);
    const UniqueFd fd(::open(name.constData(), O_WRONLY | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0) return true;  // the save will say why
    return ::fallocate(fd.get(), FALLOC_FL_KEEP_SIZE, st.st_size, bytes) == 0 || errno != ENOSPC;
}

// The saved file read again as its format: still one TagLib takes whole.
bool readsBack(const char* name, OutputFormat format) {
    switch (format) {
        case OutputFormat::Mp3:
            return TagLib::MPEG::File(name, false).isValid();
        case OutputFormat::Ogg:
            return TagLib::Ogg::Vorbis::File(name, false).isValid();
        case OutputFormat::Wav:
            return TagLib::RIFF::WAV::File(name, false).isValid();
        case OutputFormat::Flac:
            return TagLib::FLAC::File(name, false).isValid();
        case OutputFormat::Opus:
            return TagLib::Ogg::Opus::File(name, false).isValid();
        case OutputFormat::Aac:
        case OutputFormat::Alac:
            return TagLib::MP4::File(name, false).isValid();
        case OutputFormat::WavPack:
            return TagLib::WavPack::File(name, false).isValid();
    }
    return false;
}

}  // namespace

Result<QString> copyTags(const QString& source, const QString& outputPath, OutputFormat format) {
    const Read read = readSource(source);
    if (!read.readable) return read.note;
    const QByteArray name = nativePath(outputPath);
    if (!reserveRoom(name, read.tags))
        return Failure{QCoreApplication::translate("core", "No space left on device")};
    // TagLib knows only 32-bit RIFF sizes: saving a WAV past 4 GiB (RF64)
    // would leave its 64-bit sizes wrong.
    if (format == OutputFormat::Wav) {
        QFile output(QString::fromLocal8Bit(name));
        if (output.open(QIODevice::ReadOnly) && output.read(4) == "RF64") {
            const QString skipped =
                QCoreApplication::translate("core", "Tags not written: the WAV is over 4 GiB");
            return read.note.isEmpty() ? skipped : read.note + QStringLiteral("; ") + skipped;
        }
    }
    bool written = false;
    switch (formatInfo(format).tags) {
        case TagStyle::Id3v2:
            written = writeMp3(name.constData(), read.tags);
            break;
        case TagStyle::VorbisComment:
            written = format == OutputFormat::Opus
                          ? writeOgg<TagLib::Ogg::Opus::File>(name.constData(), read.tags)
                          : writeOgg<TagLib::Ogg::Vorbis::File>(name.constData(), read.tags);
            break;
        case TagStyle::RiffInfoAndId3:
            written = writeWav(name.constData(), read.tags);
            break;
        case TagStyle::FlacMetadata:
            written = writeFlac(name.constData(), read.tags);
            break;
        case TagStyle::Mp4Atoms:
            written = writeMp4(name.constData(), read.tags);
            break;
        case TagStyle::Ape:
            written = writeWavPack(name.constData(), read.tags);
            break;
    }
    if (!readsBack(name.constData(), format))
        return Failure{
            QCoreApplication::translate("core", "The written file was damaged by its tags")};
    if (written) return read.note;
    return QCoreApplication::translate(
        "core", "Tags not written: TagLib could not save them to the output");
}

QString artistAndTitle(const QString& path) {
    const QByteArray name = nativePath(path);
    TagLib::FileRef ref(name.constData(), false);
    if (ref.isNull()) return {};
    const PropertyMap text = propertiesOf(*ref.file());
    QStringList parts;
    for (const char* key : {"ARTIST", "TITLE"})
        if (const String value = firstOf(text, key); !value.isEmpty()) parts << fromTagLib(value);
    return parts.join(QStringLiteral(" - "));
}

}  // namespace core
