#include "LogicUnpack.h"

#include <algorithm>

namespace tesmar {

std::uint8_t ReverseBits(std::uint8_t b)
{
    b = static_cast<std::uint8_t>((b & 0xF0) >> 4 | (b & 0x0F) << 4);
    b = static_cast<std::uint8_t>((b & 0xCC) >> 2 | (b & 0x33) << 2);
    return static_cast<std::uint8_t>((b & 0xAA) >> 1 | (b & 0x55) << 1);
}

void ReverseBits(std::span<std::uint8_t> bytes)
{
    static const auto table = [] {
        std::array<std::uint8_t, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[i] = ReverseBits(static_cast<std::uint8_t>(i));
        return t;
    }();
    for (std::uint8_t& b : bytes)
        b = table[b];
}

UnpackedLogic UnpackLogicBuffer(const LogicBufferFrame& frame, const LogicBufferLayout& l)
{
    UnpackedLogic out;
    out.preTrigger = l.preTrigger;
    std::array<std::uint8_t, kLogicHeadBytes> h = frame.head;
    const int r0 = h[136];
    auto withBody = [&](int headBytes) {
        std::vector<std::uint8_t> a(h.begin(), h.begin() + headBytes);
        a.insert(a.end(), frame.body.begin(), frame.body.end());
        return a;
    };
    switch (l.rateCode) {
    case 0:
    case 1:
    case 2:
        out.busA.assign(h.begin(), h.begin() + 128);
        break;
    case 3:
    case 4: {
        int r = r0;
        if (l.rateCode == 4)
            r = (r & 7) == 0 ? 7 : (r & 7) - 1;
        // The last eight samples of the head come first.
        std::array<std::uint8_t, 136> reordered{};
        std::copy(h.begin() + 128, h.begin() + 136, reordered.begin());
        std::copy(h.begin(), h.begin() + 128, reordered.begin() + 8);
        std::copy(reordered.begin(), reordered.end(), h.begin());
        if (l.triggerOn && !l.pulseSkip) {
            if (r < 7)
                std::rotate(h.begin(), h.begin() + r + 1, h.begin() + 8);
            out.preTrigger = 8;
        }
        out.busA = withBody(136);
        out.busA.resize(1160);
        break;
    }
    case 5:
        if (l.sixteenLines) {
            const std::vector<std::uint8_t> all = withBody(136);
            out.busA.reserve(772);
            out.busB.reserve(772);
            for (std::size_t i = 0; i + 1 < all.size(); i += 2) {
                out.busA.push_back(all[i]);
                out.busB.push_back(all[i + 1]);
            }
        } else {
            if (l.triggerOn && !l.pulseSkip && !l.generator) {
                const int p = l.preTriggerByte;
                if (r0 > 1 && r0 <= p + 1 && p <= 136) {
                    const int s = p - r0 + 1;
                    std::rotate(h.begin(), h.begin() + s, h.begin() + p);
                }
                out.preTrigger = std::max(0, p - 1);
            }
            out.busA = withBody(136);
        }
        break;
    default:
        break;
    }
    if (l.busAInverse)
        ReverseBits(out.busA);
    return out;
}

void RotateLogicRing(std::span<std::uint8_t> capture, std::int64_t p, std::int64_t ringPosition)
{
    if (p <= 0 || ringPosition < 0 || ringPosition >= p - 1 || p > static_cast<std::int64_t>(capture.size()))
        return;
    // Oldest sample first: the bytes after the trigger position, then those up to it.
    std::rotate(capture.begin(), capture.begin() + ringPosition + 1, capture.begin() + p);
}

} // namespace tesmar
