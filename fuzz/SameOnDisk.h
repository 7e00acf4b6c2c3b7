#pragma once
// Channel setups compared as their files hold them.

#include "text/Cp1251.h"
#include "logic/ChannelSetup.h"

namespace tesmar::fuzz {

// The byte 0x98, which has no character, reads as U+FFFD and is written as '?': names are the
// same when their bytes on disk are.
inline bool SameOnDisk(const ChannelSetup& a, const ChannelSetup& b)
{
    for (std::size_t c = 0; c < a.names.size(); ++c)
        if (Utf8ToCp1251(a.names[c]) != Utf8ToCp1251(b.names[c]))
            return false;
    return a.colours == b.colours;
}

} // namespace tesmar::fuzz
