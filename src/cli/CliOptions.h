#pragma once
// Options of the form --name VALUE and --flag, as the file subcommands take them.

#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tesmar {

class CliOptions {
public:
    // `command` names the subcommand in messages ("decode"); `usage` follows an unknown option.
    CliOptions(std::string command, const char* usage) : command_(std::move(command)), usage_(usage) {}

    // Reads args[from …]; false with a message on an unknown option, a missing value or an
    // option given twice.
    bool parse(const std::vector<std::string>& args, std::size_t from, const std::vector<std::string>& valued,
               const std::vector<std::string>& flags, std::ostream& err);
    bool has(const std::string& key) const { return values_.count(key) != 0; }
    std::string get(const std::string& key, const std::string& fallback) const;
    // The index of the option's value among `items` (`fallback` without the option); none, with
    // a message listing the items, for any other value.
    std::optional<int> choice(const std::string& key, const std::vector<std::string>& items, int fallback,
                              std::ostream& err) const;

private:
    std::string command_;
    const char* usage_;
    std::map<std::string, std::string> values_;
};

} // namespace tesmar
