#pragma once
// printf-like formatting of message-table texts. The texts may come from a language file, so the
// format is untrusted: only %s %d %i %u %x %X %f %e %g %c and %% with flags, width and precision
// are understood, each takes the next argument whatever its type (converted as sensibly as it
// can), a missing argument formats as nothing, and anything else is copied as it stands.

#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace tesmar {

using FormatArg = std::variant<long long, unsigned long long, double, std::string>;

std::string FormatMessage(std::string_view format, std::initializer_list<FormatArg> args);

} // namespace tesmar
