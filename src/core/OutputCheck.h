#pragma once
// A written file opened again and compared with what was asked for, before
// it is given its final name. Worker thread.

#include "core/Result.h"
#include "core/SampleDigest.h"

#include <QString>

extern "C" {
#include <libavcodec/codec_id.h>
}

namespace core {

struct ExpectedOutput {
    AVCodecID codec = AV_CODEC_ID_NONE;
    int sampleRate = 0;
    int channels = 0;
    double seconds = 0;  // the decoded source's duration
};

// Fails with a reason that names the first difference. Given what a
// lossless encoder was fed, the same read also decodes every packet and
// compares each sample with it.
Status checkOutput(const QString& path, const ExpectedOutput& expected,
                   const SampleDigest* fed = nullptr);

// Allowed difference in duration: 0.1 s or 1%, whichever is larger.
double durationTolerance(double seconds);

}  // namespace core
