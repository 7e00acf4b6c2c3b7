#include "cli/StreamProgress.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace tesmar {
namespace {

// The sample counts shown, in order.
std::vector<long long> Shown(const std::string& text)
{
    std::vector<long long> counts;
    for (auto at = text.find("logic: "); at != std::string::npos; at = text.find("logic: ", at + 1))
        counts.push_back(std::stoll(text.substr(at + 7)));
    return counts;
}

TEST(StreamProgress, NeverGoesBackAndWritesWholeLinesOffATerminal)
{
    // Depth 1000 with a ring of 100 before the trigger: the ring fills, turns (its write
    // position falls back to 0 again and again) until the trigger, then the rest comes.
    std::vector<std::int64_t> stored;
    for (std::int64_t n = 0; n <= 100; n += 10)
        stored.push_back(n);
    for (int turn = 0; turn < 3; ++turn)
        for (std::int64_t n = 0; n < 100; n += 25)
            stored.push_back(n);
    for (std::int64_t n = 100; n <= 1000; n += 50)
        stored.push_back(n);

    for (const bool terminal : {true, false}) {
        SCOPED_TRACE(terminal);
        std::ostringstream err;
        StreamProgress progress(err, "tesmar-cli logic: ", 1000, terminal);
        for (const std::int64_t n : stored)
            progress.show(n);
        progress.end();
        const std::string text = err.str();
        const auto counts = Shown(text);
        ASSERT_FALSE(counts.empty()) << text;
        for (std::size_t i = 1; i < counts.size(); ++i)
            EXPECT_GE(counts[i], counts[i - 1]) << text;
        EXPECT_TRUE(text.ends_with("1000 of 1000 samples (100 %)\n")) << text;
        EXPECT_EQ(text.find('\r') != std::string::npos, terminal) << text;
    }
}

} // namespace
} // namespace tesmar
