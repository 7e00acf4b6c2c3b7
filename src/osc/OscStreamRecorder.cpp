#include "OscStreamRecorder.h"

#include <algorithm>
#include <vector>

namespace tesmar {

bool LevelTrigger::test(double v)
{
    const bool beyond = rising_ ? v > level_ : v < level_;
    if (beyond)
        ++beyond_;
    else
        ++starting_;
    if (starting_ >= kTriggerFilterStarting) {
        // A full run on the starting side clears the stray points beyond, but it is proof enough
        // of the starting side: falling back to 1 here would make the count at each edge of a
        // clean periodic signal the same every period, and possibly too low for ever.
        starting_ = kTriggerMinStartingSide;
        beyond_ = 0;
    } else if (beyond_ >= kTriggerFilterBeyond) {
        if (starting_ >= kTriggerMinStartingSide)
            return true;
        starting_ = 1;
        beyond_ = 0;
    }
    return false;
}

OscStreamRecorder::OscStreamRecorder(const OscAcquisitionParams& params, OscResult& result)
    : params_(params),
      result_(result),
      both_(params.chAOn && params.chBOn),
      kA_(params.pairA.voltsPerUnit * 64.0),
      kB_(params.pairB.voltsPerUnit * 64.0),
      levelTrigger_(params.triggerOn && params.kind == TriggerKind::Absolute),
      ringLength_(params.preTrigger + (params.triggerOn && params.kind == TriggerKind::Absolute ? kTriggerFilterBeyond : 0)),
      level_(params.level, params.rising)
{
    const std::size_t needed = static_cast<std::size_t>(std::max(params.capacity, ringLength_)) + 1;
    if (result_.ValuesA.size() < needed)
        result_.ValuesA.resize(needed);
    if (result_.ValuesB.size() < needed)
        result_.ValuesB.resize(needed);
    result_.DataReady = false;
}

bool OscStreamRecorder::feed(const std::uint8_t* data, std::size_t count)
{
    // The ring keeps exactly the bytes received, so a short read never lets stale bytes in.
    for (std::size_t i = 0; i < count && !full_; ++i) {
        ring_[writePos_] = data[i];
        writePos_ = (writePos_ + 1) % ring_.size();
        if (++buffered_ == 5) {
            std::uint8_t group[5];
            for (int k = 0; k < 5; ++k)
                group[k] = ring_[(readPos_ + k) % ring_.size()];
            readPos_ = (readPos_ + 5) % ring_.size();
            buffered_ = 0;
            for (int k = 0; k < 4 && !full_; ++k) {
                const int raw = GroupSample(group, k);
                addSample(params_.eightBit ? raw & 0x3FC : raw);
            }
        }
    }
    return full_;
}

void OscStreamRecorder::addSample(int raw)
{
    const int sample = sampleInGroup_;
    sampleInGroup_ = (sampleInGroup_ + 1) & 3;
    if (both_) {
        if (sample % 2 == 0) {
            pendingA_ = params_.pairA.zero - raw * kA_;
            return;
        }
        sumA_ += pendingA_;
        sumB_ += params_.pairB.zero - raw * kB_;
    } else if (params_.chAOn) {
        sumA_ += params_.pairA.zero - raw * kA_;
    } else {
        sumB_ += params_.pairB.zero - raw * kB_;
    }
    if (++summed_ < params_.averaging)
        return;
    addPoint(sumA_ / summed_, sumB_ / summed_);
    sumA_ = sumB_ = 0;
    summed_ = 0;
}

void OscStreamRecorder::addPoint(double a, double b)
{
    if (params_.chAOn)
        result_.ValuesA[posA_++] = a;
    if (params_.chBOn)
        result_.ValuesB[posB_++] = b;
    if (params_.triggerOn && !triggered_) {
        const bool sourceB = both_ ? params_.source == TriggerSource::ChannelB : !params_.chAOn;
        triggerStep(sourceB ? b : a);
    }
    const int active = params_.chAOn ? posA_ : posB_;
    if (active > params_.capacity)
        full_ = true;
}

void OscStreamRecorder::triggerStep(double v)
{
    const int pos = params_.chAOn ? posA_ : posB_; // both advance together
    bool fire = false;
    if (ringFilled_) {
        if (levelTrigger_) {
            fire = level_.test(v);
        } else if (havePrevious_) {
            const double d = v - previous_;
            fire = params_.rising ? d > params_.threshold : d < -params_.threshold;
        }
    }
    previous_ = v;
    havePrevious_ = true;
    const int next = pos >= ringLength_ ? 0 : pos;
    if (pos >= ringLength_)
        ringFilled_ = true;
    if (fire) {
        triggered_ = true;
        triggerRingPos_ = next;
        posA_ = posB_ = ringLength_;
        return;
    }
    posA_ = params_.chAOn ? next : 0;
    posB_ = params_.chBOn ? next : 0;
}

void OscStreamRecorder::finish()
{
    const int P = params_.preTrigger;
    if (params_.triggerOn && triggered_) {
        std::vector<double> ordered(static_cast<std::size_t>(ringLength_));
        for (std::vector<double>* values : {&result_.ValuesA, &result_.ValuesB}) {
            for (int i = 0; i < ringLength_; ++i)
                ordered[i] = (*values)[(triggerRingPos_ + i) % ringLength_];
            std::copy(ordered.begin(), ordered.end(), values->begin());
        }
    }
    result_.CountA = params_.chAOn ? std::max(0, posA_ - 1) : 0;
    result_.CountB = params_.chBOn ? std::max(0, posB_ - 1) : 0;
    result_.TrigIndexA = params_.triggerOn && params_.chAOn ? P - 1 : 0;
    result_.TrigIndexB = params_.triggerOn && params_.chBOn ? P - 1 : 0;
    result_.DataReady = full_;
}

void OscStreamRecorder::snapshot(OscResult& out) const
{
    const int written = params_.chAOn ? posA_ : posB_; // both advance together
    const bool ring = params_.triggerOn;
    // Positions in time order: the ring from its oldest point, then what follows it.
    int ringStart = 0, ringCount = 0, tailEnd = written;
    if (ring && triggered_) {
        ringStart = triggerRingPos_;
        ringCount = ringLength_;
    } else if (ring) {
        ringStart = ringFilled_ ? written % ringLength_ : 0;
        ringCount = ringFilled_ ? ringLength_ : written;
        tailEnd = ringCount;
    }
    const int count = std::min(tailEnd, params_.capacity);
    auto copy = [&](const std::vector<double>& from, std::vector<double>& to, bool on) {
        if (!on)
            return 0;
        if (to.size() < static_cast<std::size_t>(count))
            to.resize(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
            to[i] = i < ringCount ? from[(ringStart + i) % ringLength_] : from[i];
        return count;
    };
    out.CountA = copy(result_.ValuesA, out.ValuesA, params_.chAOn);
    out.CountB = copy(result_.ValuesB, out.ValuesB, params_.chBOn);
    const int trigIndex = ring ? params_.preTrigger - 1 : 0;
    out.TrigIndexA = params_.chAOn ? trigIndex : 0;
    out.TrigIndexB = params_.chBOn ? trigIndex : 0;
    out.DataReady = false;
}

} // namespace tesmar
