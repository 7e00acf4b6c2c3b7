#include "cli/CliOptions.h"

#include "CliText.h"

#include <algorithm>

namespace tesmar {

bool CliOptions::parse(const std::vector<std::string>& args, std::size_t from, const std::vector<std::string>& valued,
                       const std::vector<std::string>& flags, std::ostream& err)
{
    for (std::size_t i = from; i < args.size(); ++i) {
        const std::string& key = args[i];
        const bool flag = std::find(flags.begin(), flags.end(), key) != flags.end();
        if (!flag && std::find(valued.begin(), valued.end(), key) == valued.end()) {
            err << "tesmar-cli " << command_ << ": unknown option " << TerminalText(key) << "\n" << usage_;
            return false;
        }
        // A second value would silently replace the first: the command line says two things.
        if (has(key)) {
            err << "tesmar-cli " << command_ << ": " << key << " is given twice\n";
            return false;
        }
        if (flag) {
            values_[key].assign(1, '1'); // not `= "1"`: GCC 12 warns falsely there
            continue;
        }
        if (i + 1 >= args.size()) {
            err << "tesmar-cli " << command_ << ": " << key << " needs a value\n";
            return false;
        }
        values_[key] = args[++i];
    }
    return true;
}

std::string CliOptions::get(const std::string& key, const std::string& fallback) const
{
    const auto it = values_.find(key);
    return it == values_.end() ? fallback : it->second;
}

std::optional<int> CliOptions::choice(const std::string& key, const std::vector<std::string>& items, int fallback,
                                      std::ostream& err) const
{
    if (!has(key))
        return fallback;
    const std::string value = get(key, "");
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i] == value)
            return static_cast<int>(i);
    err << "tesmar-cli " << command_ << ": " << key << ": '" << TerminalText(value) << "' is not one of";
    for (const auto& item : items)
        err << ' ' << item;
    err << '\n';
    return std::nullopt;
}

} // namespace tesmar
