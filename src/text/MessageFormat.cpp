#include "text/MessageFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

namespace tesmar {
namespace {

// A language file may ask for any width; beyond this it is padding nobody can read, and an
// unbounded value would let one message allocate gigabytes.
constexpr int kMaxWidth = 256;
constexpr int kMaxPrecision = 64;

struct Spec {
    bool leftAlign = false;
    bool plus = false;
    bool space = false;
    bool alternate = false;
    bool zeroPad = false;
    int width = 0;
    int precision = -1; // none
    char conversion = 0;
};

long long ToSigned(const FormatArg& arg) {
    if (const auto* v = std::get_if<long long>(&arg))
        return *v;
    if (const auto* v = std::get_if<unsigned long long>(&arg))
        return static_cast<long long>(*v);
    if (const auto* v = std::get_if<double>(&arg)) {
        if (!std::isfinite(*v))
            return 0;
        const double clamped = std::clamp(*v, -9.2e18, 9.2e18);
        return static_cast<long long>(clamped);
    }
    const auto& s = std::get<std::string>(arg);
    long long value = 0;
    std::from_chars(s.data(), s.data() + s.size(), value);
    return value;
}

unsigned long long ToUnsigned(const FormatArg& arg) {
    if (const auto* v = std::get_if<unsigned long long>(&arg))
        return *v;
    return static_cast<unsigned long long>(ToSigned(arg));
}

double ToDouble(const FormatArg& arg) {
    if (const auto* v = std::get_if<double>(&arg))
        return *v;
    if (const auto* v = std::get_if<long long>(&arg))
        return static_cast<double>(*v);
    if (const auto* v = std::get_if<unsigned long long>(&arg))
        return static_cast<double>(*v);
    const auto& s = std::get<std::string>(arg);
    double value = 0;
    std::from_chars(s.data(), s.data() + s.size(), value);
    return value;
}

std::string NumberText(const FormatArg& arg) {
    if (const auto* v = std::get_if<long long>(&arg))
        return std::to_string(*v);
    if (const auto* v = std::get_if<unsigned long long>(&arg))
        return std::to_string(*v);
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, std::get<double>(arg));
    return std::string(buffer, r.ptr);
}

std::string AsText(const FormatArg& arg) {
    if (const auto* s = std::get_if<std::string>(&arg))
        return *s;
    return NumberText(arg);
}

bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::size_t CountCodePoints(const std::string& s) {
    return static_cast<std::size_t>(
        std::count_if(s.begin(), s.end(), [](char c) { return !IsContinuation(c); }));
}

// The first `count` characters (not bytes) of a UTF-8 text, never splitting a character.
std::string FirstCharacters(const std::string& s, std::size_t count) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (!IsContinuation(s[i])) {
            if (seen == count)
                return s.substr(0, i);
            ++seen;
        }
    }
    return s;
}

std::string EncodeUtf8(unsigned long long cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF) || cp == 0)
        return {};
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

std::string Pad(std::string text, const Spec& spec) {
    const auto length = CountCodePoints(text);
    if (static_cast<std::size_t>(spec.width) <= length)
        return text;
    const std::string fill(static_cast<std::size_t>(spec.width) - length, ' ');
    return spec.leftAlign ? text + fill : fill + text;
}

// Numbers go through snprintf with a format string built here from checked parts only, so
// nothing from the message text ever reaches the C library as a format.
std::string FormatNumber(const Spec& spec, const FormatArg& arg) {
    std::string format = "%";
    if (spec.leftAlign)
        format += '-';
    if (spec.plus)
        format += '+';
    if (spec.space)
        format += ' ';
    if (spec.alternate)
        format += '#';
    if (spec.zeroPad)
        format += '0';
    if (spec.width > 0)
        format += std::to_string(spec.width);
    if (spec.precision >= 0)
        format += "." + std::to_string(spec.precision);

    std::vector<char> buffer(kMaxWidth + kMaxPrecision + 400);
    int written = 0;
    switch (spec.conversion) {
    case 'd':
    case 'i':
        format += "lld";
        written = std::snprintf(buffer.data(), buffer.size(), format.c_str(), ToSigned(arg));
        break;
    case 'u':
    case 'x':
    case 'X':
        format += "ll";
        format += spec.conversion;
        written = std::snprintf(buffer.data(), buffer.size(), format.c_str(), ToUnsigned(arg));
        break;
    default: // f e g E G
        format += spec.conversion;
        written = std::snprintf(buffer.data(), buffer.size(), format.c_str(), ToDouble(arg));
        break;
    }
    if (written < 0)
        return {};
    return std::string(buffer.data(),
                       std::min<std::size_t>(static_cast<std::size_t>(written), buffer.size() - 1));
}

std::string FormatOne(const Spec& spec, const FormatArg* arg) {
    if (!arg)
        return {};
    switch (spec.conversion) {
    case 's': {
        std::string text = AsText(*arg);
        if (spec.precision >= 0)
            text = FirstCharacters(text, static_cast<std::size_t>(spec.precision));
        return Pad(std::move(text), spec);
    }
    case 'c': {
        std::string text;
        if (const auto* s = std::get_if<std::string>(arg))
            text = FirstCharacters(*s, 1);
        else
            text = EncodeUtf8(ToUnsigned(*arg));
        return Pad(std::move(text), spec);
    }
    default:
        return FormatNumber(spec, *arg);
    }
}

// Reads a run of digits, saturating at `limit`.
int ReadCount(std::string_view format, std::size_t& pos, int limit) {
    long long value = 0;
    while (pos < format.size() && format[pos] >= '0' && format[pos] <= '9') {
        value = std::min<long long>(value * 10 + (format[pos] - '0'), limit);
        ++pos;
    }
    return static_cast<int>(value);
}

bool IsConversion(char c) {
    return c == 's' || c == 'd' || c == 'i' || c == 'u' || c == 'x' || c == 'X' || c == 'f' || c == 'e' ||
           c == 'E' || c == 'g' || c == 'G' || c == 'c';
}

} // namespace

std::string FormatMessage(std::string_view format, std::initializer_list<FormatArg> args) {
    std::string out;
    auto nextArg = args.begin();
    std::size_t pos = 0;
    while (pos < format.size()) {
        const char c = format[pos];
        if (c != '%') {
            out += c;
            ++pos;
            continue;
        }
        const std::size_t start = pos++;
        if (pos < format.size() && format[pos] == '%') {
            out += '%';
            ++pos;
            continue;
        }
        Spec spec;
        for (; pos < format.size(); ++pos) {
            const char f = format[pos];
            if (f == '-')
                spec.leftAlign = true;
            else if (f == '+')
                spec.plus = true;
            else if (f == ' ')
                spec.space = true;
            else if (f == '#')
                spec.alternate = true;
            else if (f == '0')
                spec.zeroPad = true;
            else
                break;
        }
        spec.width = ReadCount(format, pos, kMaxWidth);
        if (pos < format.size() && format[pos] == '.') {
            ++pos;
            spec.precision = ReadCount(format, pos, kMaxPrecision);
        }
        // Length modifiers mean nothing here: every argument already carries its own type.
        while (pos < format.size() && (format[pos] == 'l' || format[pos] == 'h'))
            ++pos;
        if (pos >= format.size() || !IsConversion(format[pos])) {
            // Not a conversion we understand (%n, %p, a lone % …): the text stays as written.
            const std::size_t end = std::min(pos + 1, format.size());
            out.append(format.substr(start, end - start));
            pos = end;
            continue;
        }
        spec.conversion = format[pos++];
        const FormatArg* arg = nextArg != args.end() ? &*nextArg++ : nullptr;
        out += FormatOne(spec, arg);
    }
    return out;
}

} // namespace tesmar
