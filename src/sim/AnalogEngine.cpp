#include "AnalogEngine.h"

#include "device/SampleGroup.h"

#include "VirtualInstrument.h"
#include "device/Commands.h"

#include <algorithm>

namespace tesmar {

namespace {

constexpr std::size_t kBlockSize = 12;
// The frame leaves the instrument in three parts: the first read, then command 6 parts 1 and 2.
constexpr std::array<std::size_t, 3> kPartStart{0, 512, 1024};
constexpr std::array<std::size_t, 3> kPartSize{512, 512, 388};
// Work per read poll when the clock runs far ahead of the samples already taken: beyond this the
// instrument lags its clock rather than holding the transport's lock for long.
constexpr std::int64_t kMaxSamplesPerPoll = 1 << 16;

} // namespace

AnalogEngine::AnalogEngine(const SimClock& clock, AnalogScene scene) : clock_(clock), scene_(std::move(scene)) {}

void AnalogEngine::setScene(const AnalogScene& scene)
{
    std::lock_guard lock(sceneMutex_);
    scene_ = scene;
}

AnalogScene AnalogEngine::scene() const
{
    std::lock_guard lock(sceneMutex_);
    return scene_;
}

bool AnalogEngine::handles(std::uint8_t command) const
{
    // Part requests are ours only while a buffer record is ours to hand out.
    return command == CmdStartAnalog || (command == CmdReadPart && mode_ == Mode::Buffer);
}

void AnalogEngine::onCommand(const SetupPacket& setup, const std::vector<std::uint8_t>& data, InstrumentState& state)
{
    if (setup.bRequest == CmdStartAnalog)
        start(setup, data, state);
    else if (setup.bRequest == CmdReadPart)
        selectPart(setup.wValue);
}

void AnalogEngine::start(const SetupPacket& setup, const std::vector<std::uint8_t>& data, const InstrumentState& state)
{
    // A new block replaces whatever ran, also a record still waiting for its trigger.
    stop();
    if (data.size() < kBlockSize)
        return; // no block, nothing to run
    AnalogBlock block;
    std::copy_n(data.begin(), kBlockSize, block.bytes.begin());
    const double rate = ConverterSequence::RateOf(block, setup.wValue);
    if (rate <= 0.0)
        return; // a stopped converter sends nothing

    const AnalogScene scene = this->scene();
    sequence_.emplace(block, AnalogFrontEnd(scene, state.calibration), rate, clock_.nowUs());
    neverTrigger_ = scene.neverTrigger;
    if (block.bytes[0] & AnalogBlock::kStream) {
        mode_ = Mode::Stream;
        streamSent_ = 0;
        packedGroup_ = -1;
    } else {
        mode_ = Mode::Buffer;
        capture_.emplace(block, setup.wIndex);
        part_ = 0;
        partSent_ = 0;
    }
}

void AnalogEngine::selectPart(std::uint16_t part)
{
    if (!capture_ || !capture_->complete() || part < 1 || part > 2)
        return;
    part_ = part;
    partSent_ = 0;
}

void AnalogEngine::stop()
{
    mode_ = Mode::Idle;
    sequence_.reset();
    capture_.reset();
}

std::vector<std::uint8_t> AnalogEngine::produce(std::size_t length, std::int64_t nowUs)
{
    if (length == 0)
        return {};
    switch (mode_) {
    case Mode::Buffer: return advanceCapture(nowUs) ? produceBufferPart(length) : std::vector<std::uint8_t>{};
    case Mode::Stream: return produceStream(length, nowUs);
    case Mode::Idle: break;
    }
    return {};
}

bool AnalogEngine::advanceCapture(std::int64_t nowUs)
{
    BufferCapture& capture = *capture_;
    if (capture.complete())
        return true;
    if (neverTrigger_ && capture.trigger() != BufferCapture::Trigger::Off)
        return false;
    const std::int64_t due = sequence_->samplesBy(nowUs);
    const std::int64_t last = std::min(due, capture.samplesTaken() + kMaxSamplesPerPoll);
    for (std::int64_t n = capture.samplesTaken(); n < last && !capture.complete(); ++n)
        capture.feed(sequence_->raw(n), sequence_->isTriggerInput(n), sequence_->externalHigh(n));
    return capture.complete();
}

std::vector<std::uint8_t> AnalogEngine::produceBufferPart(std::size_t length)
{
    const std::size_t left = kPartSize[part_] - partSent_;
    const std::size_t n = std::min(length, left);
    const auto from = capture_->frame().begin() + static_cast<std::ptrdiff_t>(kPartStart[part_] + partSent_);
    partSent_ += n;
    return {from, from + static_cast<std::ptrdiff_t>(n)};
}

std::vector<std::uint8_t> AnalogEngine::produceStream(std::size_t length, std::int64_t nowUs)
{
    // Only whole groups leave the converter, and a bulk read ends when its length has arrived.
    const std::int64_t dueBytes = sequence_->samplesBy(nowUs) / 4 * 5;
    if (dueBytes - streamSent_ < static_cast<std::int64_t>(length))
        return {};
    std::vector<std::uint8_t> bytes(length);
    for (std::size_t i = 0; i < length; ++i)
        bytes[i] = streamByte(streamSent_ + static_cast<std::int64_t>(i));
    streamSent_ += static_cast<std::int64_t>(length);
    return bytes;
}

std::uint8_t AnalogEngine::streamByte(std::int64_t position)
{
    const std::int64_t group = position / 5;
    if (group != packedGroup_) {
        int raw[kGroupSamples];
        for (int k = 0; k < kGroupSamples; ++k)
            raw[k] = sequence_->raw(group * kGroupSamples + k);
        PackSampleGroup(raw, packed_.data());
        packedGroup_ = group;
    }
    return packed_[position % 5];
}

AnalogEngine& InstallAnalogEngine(VirtualInstrument& instrument, AnalogScene scene)
{
    auto engine = std::make_unique<AnalogEngine>(instrument.clock(), std::move(scene));
    AnalogEngine& installed = *engine;
    instrument.addEngine(std::move(engine));
    return installed;
}

} // namespace tesmar
