#pragma once
// An output is written into a hidden temporary file beside its final name
// and renamed into place only once it is complete and checked, so no
// truncated or failed file ever stands under a final name. Worker thread.

#include "core/Result.h"
#include "core/UniqueFd.h"

#include <QString>

namespace core {

// One job's temporary file: created exclusively under a name with a random
// part (".name.mp3.sonbridge-x7Kq2P.part"), locked while it exists, removed
// unless committed. Whatever writes or reads it goes through its descriptor,
// never its name, so nobody else can swap the file underneath.
class TemporaryOutput {
public:
    static Result<TemporaryOutput> create(const QString& finalPath);
    ~TemporaryOutput();
    TemporaryOutput(TemporaryOutput&& other) noexcept;
    TemporaryOutput& operator=(TemporaryOutput&&) = delete;

    const QString& path() const { return path_; }
    int descriptor() const { return fd_.get(); }
    // This very file as a name, for libraries that open by name.
    QString descriptorPath() const;

    // Whether its file system is all but full: the likely cause of any
    // write that failed, whatever the writer said.
    bool onFullDisk() const;

    // Makes the file durable and renames it to finalPath without replacing
    // anything: when that name was taken meanwhile, the next free
    // " (copy N)." name. Returns the path the file now has. replace: one
    // rename puts it in place of a file at finalPath, so there is never a
    // moment with neither; a folder there is never replaced.
    Result<QString> commit(const QString& finalPath, bool replace = false);

private:
    TemporaryOutput(QString path, UniqueFd fd) : path_(std::move(path)), fd_(std::move(fd)) {}

    QString path_;  // empty once committed
    UniqueFd fd_;
};

// Removes from folder the temporary files of runs that ended without
// tidying up (nobody holds their lock); returns how many.
int removeUnfinishedOutputs(const QString& folder);

}  // namespace core
