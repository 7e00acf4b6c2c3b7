#include "text/MessageEscape.h"

namespace tesmar {
namespace {

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    std::size_t pos = 0;
    while (true) {
        const auto hit = text.find(from, pos);
        if (hit == std::string_view::npos)
            break;
        out.append(text.substr(pos, hit - pos));
        out.append(to);
        pos = hit + from.size();
    }
    out.append(text.substr(pos));
    return out;
}

} // namespace

std::string EscapeMessage(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\r')
            out += "$13$";
        else if (c == '\n')
            out += "$10$";
        else
            out += c;
    }
    if (!out.empty() && out.front() == ' ')
        out.front() = '$';
    return out;
}

std::string UnescapeMessage(std::string_view text) {
    std::string out = ReplaceAll(ReplaceAll(text, "$13$", "\r"), "$10$", "\n");
    if (!out.empty() && out.front() == '$')
        out.front() = ' ';
    return out;
}

} // namespace tesmar
