#include "core/AlbumGain.h"

#include "core/NativePath.h"
#include "core/OutputFile.h"
#include "core/PathHelpers.h"
#include "core/ReplayGain.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDebug>

namespace core {

namespace {

// The output's bytes into the temporary file.
bool copyInto(const QString& path, int fd) {
    const int in = ::open(nativePath(path).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    std::vector<char> buffer(1 << 20);
    bool ok = true;
    for (ssize_t got; ok && (got = ::read(in, buffer.data(), buffer.size())) != 0;) {
        if (got < 0) {
            ok = errno == EINTR;
            continue;
        }
        for (ssize_t at = 0; ok && at < got;) {
            const ssize_t put = ::write(fd, buffer.data() + at, size_t(got - at));
            ok = put > 0 || (put < 0 && errno == EINTR);
            if (put > 0) at += put;
        }
    }
    ::close(in);
    return ok;
}

// The finished output never changes in place: a copy takes the tags and
// replaces it in one rename.
void writeAlbumTags(const QString& output, OutputFormat format, double gainDb, double peak) {
    Result<TemporaryOutput> temporary = TemporaryOutput::create(output);
    if (!temporary || !copyInto(output, temporary->descriptor())) return;
    if (!writeReplayGain(temporary->descriptorPath(), format, QStringLiteral("ALBUM"), gainDb,
                         peak))
        return;
    if (!temporary->commit(output, true))
        qWarning().noquote() << "album gain not written:" << output;
}

}  // namespace

void AlbumGain::begin(const QList<JobSpec>& jobs) {
    wait();
    folders_.clear();
    for (const JobSpec& spec : jobs)
        if (spec.replayGain == ReplayGain::Album) ++folders_[folderOf(spec.source)].remaining;
}

void AlbumGain::jobEnded(const JobSpec& spec, const JobResult& result) {
    if (spec.replayGain != ReplayGain::Album) return;
    const auto it = folders_.find(folderOf(spec.source));
    if (it == folders_.end()) return;
    Folder& folder = it->second;
    if (result.outcome == JobOutcome::Converted && result.loudness && spec.format)
        folder.members.push_back({result.outputPath, *spec.format, result.loudness});
    else
        folder.allConverted = false;
    if (--folder.remaining > 0) return;
    std::vector<Member> members = std::move(folder.members);
    const bool complete = folder.allConverted;
    folders_.erase(it);
    if (!complete) return;
    writers_.emplace_back([members = std::move(members)] {
        std::map<QString, std::vector<const Member*>> albums;
        for (const Member& m : members)
            if (!m.loudness->album.isEmpty()) albums[m.loudness->album].push_back(&m);
        for (const auto& [album, tracks] : albums) {
            std::vector<const TrackLoudness*> measured;
            for (const Member* m : tracks) measured.push_back(m->loudness.get());
            const auto gain = albumGain(measured);
            if (!gain) continue;
            for (const Member* m : tracks)
                writeAlbumTags(m->output, m->format, gain->first, gain->second);
        }
    });
}

void AlbumGain::wait() {
    for (std::jthread& writer : writers_)
        if (writer.joinable()) writer.join();
    writers_.clear();
}

}  // namespace core
