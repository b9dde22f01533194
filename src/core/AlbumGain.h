#pragma once
// Album gain: the outputs of the rows that share an album tag and a folder
// are measured as one, and their album tags are written once every job of
// that folder has ended, each file rewritten beside itself and renamed into
// place. A folder with a job that was not converted gets no album gain.

#include "core/ConversionJob.h"

#include <QList>
#include <QString>

#include <map>
#include <memory>
#include <thread>
#include <vector>

namespace core {

class AlbumGain {
public:
    AlbumGain() = default;
    ~AlbumGain() { wait(); }
    AlbumGain(const AlbumGain&) = delete;
    AlbumGain& operator=(const AlbumGain&) = delete;

    // The batch's thread: a new batch, then each job as it ends.
    void begin(const QList<JobSpec>& jobs);
    void jobEnded(const JobSpec& spec, const JobResult& result);
    // Until every album of the batch is written.
    void wait();

private:
    struct Member {
        QString output;
        OutputFormat format;
        std::shared_ptr<const TrackLoudness> loudness;
    };
    struct Folder {
        int remaining = 0;
        bool allConverted = true;
        std::vector<Member> members;
    };

    std::map<QString, Folder> folders_;
    std::vector<std::jthread> writers_;
};

}  // namespace core
