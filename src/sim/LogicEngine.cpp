#include "LogicEngine.h"

#include "InstrumentState.h"
#include "VirtualInstrument.h"
#include "device/Commands.h"

#include <algorithm>
#include <cmath>

namespace tesmar {

namespace {

std::uint8_t Reversed(std::uint8_t b)
{
    b = static_cast<std::uint8_t>((b & 0xF0) >> 4 | (b & 0x0F) << 4);
    b = static_cast<std::uint8_t>((b & 0xCC) >> 2 | (b & 0x33) << 2);
    return static_cast<std::uint8_t>((b & 0xAA) >> 1 | (b & 0x55) << 1);
}

constexpr double kFastRates[5] = {8e6, 6e6, 4e6, 24e6 / 9, 2e6};

} // namespace

LogicEngine::LogicEngine(const SimClock& clock, LogicScene scene) : clock_(clock), scene_(std::move(scene)) {}

void LogicEngine::setScene(LogicScene scene)
{
    std::lock_guard lock(sceneMutex_);
    scene_ = std::move(scene);
}

bool LogicEngine::handles(std::uint8_t command) const
{
    return command == CmdStartLogic || command == CmdReadPart || command == CmdReleaseOutputs;
}

LogicEngine::Settings LogicEngine::parse(const SetupPacket& setup, const std::vector<std::uint8_t>& block) const
{
    std::array<std::uint8_t, 9> b{};
    std::copy_n(block.begin(), std::min<std::size_t>(block.size(), 9), b.begin());
    Settings s;
    s.rateCode = std::min<int>(b[0], 6);
    s.sixteen = b[1] & 0x80;
    s.generator = b[1] & 0x40;
    s.external = b[1] & 0x20;
    s.keepOutputs = b[1] & 0x10;
    s.cyclic = b[1] & 0x08;
    s.triggerOn = b[2] & 0x80;
    s.mask = b[2] & 0x40;
    s.rising = b[2] & 0x20;
    s.onBusA = b[2] & 0x10;
    s.skip = s.triggerOn && (b[3] & 0x80);
    s.skipOnBusA = b[3] & 0x40;
    s.skipRising = b[3] & 0x20;
    s.b4 = b[4];
    s.value = b[5];
    s.care = b[6];
    s.pre = b[7];
    s.skipBit = b[8];
    const int high = setup.wIndex >> 8, low = setup.wIndex & 0xFF;
    s.skipCount = std::max(0, (high - (low != 0 ? 1 : 0)) * 256 + low);
    if (s.rateCode <= 4) {
        s.rate = kFastRates[s.rateCode];
        if (s.b4 < 16) {
            s.fastEdgeLine = s.b4 & 7;
            s.fastEdgeRising = s.b4 & 8;
        }
    } else {
        const int divider = 65536 - setup.wValue;
        s.rate = setup.wValue != 0 ? 24e6 / divider : 1e6;
    }
    return s;
}

std::int64_t LogicEngine::sampleTime(std::int64_t n) const
{
    if (!settings_.external || settings_.rateCode <= 4)
        return startNs_ + static_cast<std::int64_t>(std::llround(n * 1e9 / settings_.rate));
    // Sampled on the edges of a bus B line: the counter's line k changes every 2^k counts.
    const int k = settings_.b4 & 7;
    const bool rising = settings_.b4 & 8;
    const double step = std::ldexp(1.0, k) / scene_.counterHz * 1e9; // ns between edges
    auto j = static_cast<std::int64_t>(std::floor(startNs_ / step)) + 1;
    if (((j & 1) == 1) != rising)
        ++j;
    return static_cast<std::int64_t>(std::llround((j + 2 * n) * step));
}

std::uint8_t LogicEngine::busB(std::int64_t n) const
{
    if (settings_.generator) {
        if (settings_.cyclic)
            return generator_[static_cast<std::size_t>(n % kGeneratorImageSize)];
        if (n < kGeneratorImageSize)
            return generator_[static_cast<std::size_t>(n)];
        return settings_.keepOutputs ? generator_.back() : 0;
    }
    return scene_.busBAt(sampleTime(n));
}

std::uint8_t LogicEngine::rawA(std::int64_t n) const
{
    const std::uint8_t a = settings_.generator && scene_.loopBack ? busB(n) : scene_.busAAt(sampleTime(n));
    return Reversed(a); // the instrument sends bus A with its bits the other way round
}

bool LogicEngine::edge(std::uint8_t before, std::uint8_t after, std::uint8_t bit, bool rising) const
{
    return rising ? !(before & bit) && (after & bit) : (before & bit) && !(after & bit);
}

std::optional<std::int64_t> LogicEngine::findTrigger(std::int64_t from) const
{
    const auto limit = static_cast<std::int64_t>(kTriggerSearchSeconds * settings_.rate);
    const Settings& s = settings_;
    auto sample = [&](bool onA, std::int64_t n) { return onA ? rawA(n) : busB(n); };
    std::int64_t n = std::max<std::int64_t>(from, 1);
    int skipped = 0;
    if (s.skip) {
        for (; n < limit && skipped < s.skipCount; ++n)
            if (edge(sample(s.skipOnBusA, n - 1), sample(s.skipOnBusA, n), s.skipBit, s.skipRising))
                ++skipped;
    }
    const bool fast = s.rateCode <= 4;
    for (; n < limit; ++n) {
        bool fire;
        if (s.mask) {
            fire = (sample(s.onBusA || fast, n) & s.care) == s.value;
        } else if (fast) {
            if (!s.fastEdgeLine)
                return std::nullopt; // a line the firmware does not know: it never triggers
            const auto bit = static_cast<std::uint8_t>(1u << *s.fastEdgeLine);
            fire = edge(busB(n - 1), busB(n), bit, s.fastEdgeRising);
        } else {
            fire = edge(sample(s.onBusA, n - 1), sample(s.onBusA, n), s.value, s.rising);
        }
        if (fire)
            return n;
    }
    return std::nullopt;
}

void LogicEngine::buildBuffer()
{
    const Settings& s = settings_;
    const int code = s.rateCode;
    const int total = code <= 2 ? 128 : code <= 4 ? 1160 : s.sixteen ? 772 : 1544;
    if (s.external && code == 5 && !(scene_.counterHz > 0)) {
        readyNs_.reset(); // the clock line never ticks: no sample is ever taken
        return;
    }
    int pre = 0;
    if (code == 5 && !s.sixteen && s.triggerOn && !s.skip && !s.generator)
        pre = std::min<int>(s.pre, 136);
    if ((code == 3 || code == 4) && s.triggerOn && !s.skip)
        pre = 8;
    std::int64_t first = 0;
    if (s.triggerOn) {
        const auto trigger = findTrigger(std::max(pre, 1));  // a full ring first
        if (!trigger) {
            readyNs_.reset();
            return;
        }
        // Time 0 of the host's unpacking: the last ring sample (code 5) or the first after the
        // eight ring samples (codes 3 and 4).
        first = *trigger - (code == 5 ? std::max(pre - 1, 0) : pre);
    }
    std::vector<std::uint8_t> t;
    t.reserve(1544);
    for (int i = 0; i < total; ++i) {
        t.push_back(rawA(first + i));
        if (s.sixteen && code == 5)
            t.push_back(busB(first + i));
    }
    // Where the device's ring pointer happens to stand: any position, fixed by the start time.
    const auto spin = static_cast<int>((startNs_ / 1000) % 97);
    head_.fill(0);
    body_.fill(0);
    if (code <= 2) {
        std::copy(t.begin(), t.end(), head_.begin());
    } else if (code <= 4) {
        std::array<std::uint8_t, 136> h{};
        std::copy(t.begin(), t.begin() + 136, h.begin());
        int r = 7;
        if (pre == 8) {
            r = spin % 8;
            for (int i = 0; i < 8; ++i)
                h[(r + 1 + i) % 8] = t[i];
        }
        std::copy(h.begin(), h.begin() + 8, head_.begin() + 128);
        std::copy(h.begin() + 8, h.end(), head_.begin());
        std::copy(t.begin() + 136, t.end(), body_.begin());
        head_[136] = static_cast<std::uint8_t>(code == 3 ? r : (r < 7 ? r + 1 : 8));
    } else {
        std::copy(t.begin(), t.begin() + 136, head_.begin());
        std::copy(t.begin() + 136, t.end(), body_.begin());
        if (pre > 0) {
            const int r = 2 + spin % pre; // 2 … pre + 1
            const int shift = pre - r + 1;
            for (int i = 0; i < pre; ++i)
                head_[(shift + i) % pre] = t[i];
            head_[136] = static_cast<std::uint8_t>(r);
        }
    }
    readyNs_ = sampleTime(first + total - 1);
}

void LogicEngine::onCommand(const SetupPacket& setup, const std::vector<std::uint8_t>& data, InstrumentState& state)
{
    if (setup.bRequest == CmdReleaseOutputs) {
        settings_.keepOutputs = false;
        return;
    }
    if (setup.bRequest == CmdReadPart) {
        part_ = setup.wValue;
        partSent_ = false;
        return;
    }
    std::lock_guard lock(sceneMutex_);
    settings_ = parse(setup, data);
    generator_ = state.generatorImage();
    startNs_ = clock_.nowUs() * 1000;
    part_ = 0;
    partSent_ = false;
    streamSent_ = 0;
    if (settings_.rateCode == 6) {
        mode_ = Mode::Stream;
    } else {
        mode_ = Mode::Buffer;
        buildBuffer();
    }
}

std::vector<std::uint8_t> LogicEngine::produce(std::size_t length, std::int64_t nowUs)
{
    std::lock_guard lock(sceneMutex_);
    const std::int64_t now = nowUs * 1000;
    if (mode_ == Mode::Buffer) {
        if (!readyNs_ || now < *readyNs_ || partSent_)
            return {};
        std::vector<std::uint8_t> out;
        switch (part_) {
        case 0:
            if (settings_.rateCode <= 2)
                out.assign(head_.begin(), head_.begin() + 128);
            else
                out.assign(body_.begin(), body_.begin() + 512);
            break;
        case 1: out.assign(body_.begin() + 512, body_.begin() + 1024); break;
        case 2:
            out.assign(body_.begin() + 1024, body_.end());
            out.resize(388, 0);
            break;
        case 3: out.assign(head_.begin(), head_.end()); break;
        default: return {};
        }
        partSent_ = true;
        if (out.size() > length)
            out.resize(length);
        return out;
    }
    if (mode_ == Mode::Stream) {
        if (settings_.external && !(scene_.counterHz > 0))
            return {}; // the clock line never ticks
        const auto count = static_cast<std::int64_t>(length);
        if (sampleTime(streamSent_ + count - 1) > now)
            return {};
        std::vector<std::uint8_t> out(length);
        for (std::int64_t i = 0; i < count; ++i)
            out[i] = rawA(streamSent_ + i);
        streamSent_ += count;
        return out;
    }
    return {};
}

void LogicEngine::stop()
{
    mode_ = Mode::Idle;
}

LogicEngine& InstallLogicEngine(VirtualInstrument& instrument, LogicScene scene)
{
    auto engine = std::make_unique<LogicEngine>(instrument.clock(), std::move(scene));
    LogicEngine& installed = *engine;
    instrument.addEngine(std::move(engine));
    return installed;
}

} // namespace tesmar
