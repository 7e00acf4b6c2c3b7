#pragma once
// Where the encoders write: the generator data (present only while bus B is the generator) and
// the sample period it is played at (1/Fs of the current settings).

#include "logic/ChannelQueries.h"
#include "logic/GeneratorData.h"
#include "logic/LogicCapture.h"

namespace tesmar {

struct GeneratorTarget {
    GeneratorData* generator = nullptr; // null: bus B is not the generator
    double samplePeriod = 1e-6;
};

// Channel queries over the generator lines alone (time 0 at sample 0).
class GeneratorChannels {
public:
    explicit GeneratorChannels(const GeneratorTarget& target)
        : queries_(empty_, target.generator, target.samplePeriod)
    {
    }
    const ChannelQueries& queries() const { return queries_; }

private:
    LogicCapture empty_;
    ChannelQueries queries_;
};

} // namespace tesmar
