#include "cli/FileProgress.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tesmar {
namespace {

TEST(FileProgress, OneLinePerPassOnATerminalAndNothingElsewhere)
{
    for (const bool terminal : {true, false}) {
        SCOPED_TRACE(terminal);
        std::ostringstream err;
        {
            FileProgress progress(err, "tesmar-cli convert: ", terminal, std::chrono::milliseconds(0));
            const auto read = progress.callback();
            EXPECT_EQ(static_cast<bool>(read), terminal);
            if (read) {
                // Reading 3 MiB, then writing 1000 samples: a line each.
                for (std::int64_t done = 0; done <= 3 << 20; done += 1 << 19)
                    read(done, 3 << 20);
                progress.end();
                const auto written = progress.samplesCallback();
                for (std::int64_t done = 0; done <= 1000; done += 250)
                    written(done, 1000);
            }
        }
        const std::string text = err.str();
        if (!terminal) {
            EXPECT_EQ(text, "");
            continue;
        }
        EXPECT_NE(text.find("\rtesmar-cli convert: 3 of 3 MiB (100 %)\n"), std::string::npos) << text;
        EXPECT_NE(text.find("\rtesmar-cli convert: 1000 of 1000 samples (100 %)\n"), std::string::npos) << text;
        EXPECT_EQ(text.back(), '\n');
    }
}

TEST(FileProgress, AShortPassShowsNothing)
{
    std::ostringstream err;
    {
        FileProgress progress(err, "tesmar-cli decode: ", true, std::chrono::hours(1));
        const auto read = progress.callback();
        for (std::int64_t done = 0; done <= 100; done += 10)
            read(done << 20, 100 << 20);
    }
    EXPECT_EQ(err.str(), "");
}

} // namespace
} // namespace tesmar
