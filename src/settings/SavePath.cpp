#include "SavePath.h"

#include <algorithm>
#include <cctype>

namespace tesmar {

std::string WithDefaultExtension(const std::string& path, const std::string& extension)
{
    auto upper = [](std::string s) {
        std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
        return s;
    };
    if (upper(path).find(upper(extension)) != std::string::npos)
        return path;
    return path + extension;
}

} // namespace tesmar
