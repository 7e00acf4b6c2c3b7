#include "RecorderStream.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tesmar {

namespace {

RecordLayout LayoutOf(const RecorderSettings& s)
{
    return {s.pointPeriod, s.chAOn, s.chBOn, s.liveDisplay && s.both()};
}

} // namespace

RecorderStream::RecorderStream(const RecorderSettings& settings, MemoryProbe memory)
    // The one-day limit ends every recording, so no record grows beyond it.
    : RecorderStream(settings, std::move(memory), DayPoints(settings.pointPeriod) + kRecorderSpare + kRecorderGrowth)
{
}

std::unique_ptr<RecorderStream> RecorderStream::FromValues(double pointPeriod, const std::vector<double>* a,
                                                           const std::vector<double>* b)
{
    const auto count = [](const std::vector<double>* v) { return v ? std::optional(v->size()) : std::nullopt; };
    return FromReader(pointPeriod, count(a), count(b), [&](int ch, std::size_t first, std::span<double> out) {
        const std::vector<double>& values = ch == 0 ? *a : *b;
        std::copy_n(values.begin() + static_cast<std::ptrdiff_t>(first), out.size(), out.begin());
        return true;
    });
}

std::unique_ptr<RecorderStream> RecorderStream::FromReader(double pointPeriod, std::optional<std::size_t> countA,
                                                           std::optional<std::size_t> countB, const ValueReader& read)
{
    if (!countA && !countB)
        return nullptr;
    RecorderSettings settings;
    settings.pointPeriod = pointPeriod;
    settings.chAOn = countA.has_value();
    settings.chBOn = countB.has_value();
    settings.liveDisplay = true; // B half a period after A, as it was drawn
    const std::size_t n = std::min(countA.value_or(SIZE_MAX), countB.value_or(SIZE_MAX));
    std::unique_ptr<RecorderStream> stream(new RecorderStream(settings, {}, n));
    RecorderRecord& record = stream->record_;
    if (!record.reserve(n))
        return nullptr;
    for (int ch = 0; ch < 2; ++ch) {
        if (!record.on(ch))
            continue;
        RecordChannel& channel = record.channel(ch);
        for (std::size_t first = 0; first < n;) {
            std::span<double> space = channel.freeSpace();
            space = space.first(std::min(space.size(), n - first));
            if (!read(ch, first, space))
                return nullptr;
            channel.appended(space.size());
            channel.summarise();
            first += space.size();
        }
    }
    record.publish(n);
    stream->count_ = n;
    stream->capacity_ = n;
    stream->ended_ = true;
    stream->elapsed_.store(static_cast<double>(n) * pointPeriod / kSecondsPerDay);
    return stream;
}

RecorderStream::RecorderStream(const RecorderSettings& settings, MemoryProbe memory, std::size_t maxPoints)
    : settings_(settings),
      memory_(memory ? std::move(memory) : MemoryProbe(AvailableMemoryBytes)),
      record_(LayoutOf(settings), maxPoints),
      lowMask_(settings.eightBit ? 0 : 3),
      single_(settings.chAOn ? 0 : 1),
      dayPoints_(DayPoints(settings.pointPeriod))
{
    settings_.averaging = std::max(1, settings_.averaging);
    for (int raw = 0; raw < 1024; ++raw) {
        volts_[0][raw] = RawToVolts(raw, settings.pairA);
        volts_[1][raw] = RawToVolts(raw, settings.pairB);
    }
    // A record of a whole day is the day's points: the day limit is not exceeded by it.
    if (settings.autoStopSeconds)
        autoStopPoints_ = std::min(
            static_cast<std::size_t>(std::floor(*settings.autoStopSeconds / settings.pointPeriod + 1e-6)) + 1, dayPoints_);
}

bool RecorderStream::prepare()
{
    plan_ = PlanCapacity({settings_.pointPeriod, settings_.channels(), settings_.autoStopSeconds, settings_.dynamicMemory},
                         memory_());
    if (!plan_.fits || !record_.reserve(plan_.capacity)) {
        record_.release();
        fail(RecNoMemoryAtStart);
        return false;
    }
    capacity_ = plan_.capacity;
    planNextCheck();
    return true;
}

void RecorderStream::planNextCheck()
{
    nextCheck_ = std::min(capacity_ - std::min(capacity_, kRecorderHeadroom), dayPoints_);
    if (autoStopPoints_ != 0)
        nextCheck_ = std::min(nextCheck_, autoStopPoints_);
}

void RecorderStream::fail(int status)
{
    if (status_.load() == RecOk)
        status_.store(status, std::memory_order_release);
    ended_ = true;
}

void RecorderStream::readFailed(bool stopping)
{
    if (!stopping)
        fail(RecReadFailed);
    ended_ = true;
}

void RecorderStream::feed(const std::uint8_t* data, std::size_t length)
{
    std::size_t i = 0;
    if (carried_ > 0) {
        while (carried_ < 5 && i < length)
            carry_[carried_++] = data[i++];
        if (carried_ < 5)
            return;
        carried_ = 0;
        if (!ended_)
            frame(carry_.data());
    }
    for (; i + 5 <= length && !ended_; i += 5)
        frame(data + i);
    while (i < length && !ended_)
        carry_[carried_++] = data[i++];
}

void RecorderStream::frame(const std::uint8_t* f)
{
    const int low = f[4] & (lowMask_ * 0x55);
    const int s0 = (f[0] << 2) | (low & 3);
    const int s1 = (f[1] << 2) | ((low >> 2) & 3);
    const int s2 = (f[2] << 2) | ((low >> 4) & 3);
    const int s3 = (f[3] << 2) | (low >> 6);
    // Without averaging and far from every limit, a frame's points go straight in.
    if (settings_.averaging == 1 && count_ + 4 < nextCheck_) {
        if (settings_.both()) {
            RecordChannel& a = record_.channel(0);
            RecordChannel& b = record_.channel(1);
            a.append(volts_[0][s0]);
            b.append(volts_[1][s1]);
            a.append(volts_[0][s2]);
            b.append(volts_[1][s3]);
            count_ += 2;
        } else {
            RecordChannel& c = record_.channel(single_);
            const auto& volts = volts_[single_];
            c.append(volts[s0]);
            c.append(volts[s1]);
            c.append(volts[s2]);
            c.append(volts[s3]);
            count_ += 4;
        }
        return;
    }
    if (settings_.both()) {
        pair(s0, s1);
        if (!ended_)
            pair(s2, s3);
        return;
    }
    for (int raw : {s0, s1, s2, s3}) {
        sample(raw, single_);
        if (ended_)
            return;
    }
}

void RecorderStream::sample(int raw, int channel)
{
    const double v = volts_[channel][raw];
    if (settings_.averaging == 1) {
        record_.channel(channel).append(v);
        if (++count_ >= nextCheck_)
            checkPoint();
        return;
    }
    (channel == 0 ? sumA_ : sumB_) += v;
    if (++summed_ < settings_.averaging)
        return;
    const double n = summed_;
    addPoint(sumA_ / n, sumB_ / n);
    sumA_ = sumB_ = 0;
    summed_ = 0;
}

void RecorderStream::pair(int rawA, int rawB)
{
    sumA_ += volts_[0][rawA];
    sumB_ += volts_[1][rawB];
    if (++summed_ < settings_.averaging)
        return;
    const double n = summed_;
    addPoint(sumA_ / n, sumB_ / n);
    sumA_ = sumB_ = 0;
    summed_ = 0;
}

void RecorderStream::addPoint(double a, double b)
{
    if (settings_.chAOn)
        record_.channel(0).append(a);
    if (settings_.chBOn)
        record_.channel(1).append(b);
    if (++count_ >= nextCheck_)
        checkPoint();
}

void RecorderStream::checkPoint()
{
    if (count_ + kRecorderHeadroom >= capacity_) {
        if (plan_.growth == 0) {
            fail(RecMemoryFull);
        } else {
            const std::size_t grown = capacity_ + plan_.growth;
            // Memory is asked for only when a new chunk is due, not at every step.
            const bool newChunk = grown > record_.capacity();
            if ((newChunk && !GrowthFits(ChunkedValues::kChunkSize, settings_.channels(), memory_())) ||
                !record_.reserve(grown))
                fail(RecMemoryFull);
            else
                capacity_ = grown;
        }
    }
    if (autoStopPoints_ != 0 && count_ >= autoStopPoints_) {
        autoStopped_ = true;
        ended_ = true;
    } else if (count_ >= dayPoints_) {
        fail(RecDayExceeded);
    }
    planNextCheck();
}

void RecorderStream::publish()
{
    for (int ch = 0; ch < 2; ++ch)
        if (record_.on(ch))
            record_.channel(ch).summarise();
    elapsed_.store(static_cast<double>(count_) * record_.dtDays(), std::memory_order_release);
    record_.publish(count_);
}

} // namespace tesmar
