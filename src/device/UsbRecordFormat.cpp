#include "UsbRecordFormat.h"

#include "TracingTransport.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <map>
#include <optional>
#include <sstream>

namespace tesmar {

namespace {

constexpr std::size_t kBytesPerDataLine = 16;

std::string Hex(unsigned value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

std::string Milliseconds(double ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", ms);
    return text;
}

const char* KindName(UsbEventKind kind)
{
    switch (kind) {
    case UsbEventKind::Attach: return "ATTACH";
    case UsbEventKind::Detach: return "DETACH";
    case UsbEventKind::SetInterface: return "SETIF";
    case UsbEventKind::ControlOut: return "OUT";
    case UsbEventKind::BulkIn: return "IN";
    case UsbEventKind::Halt: return "HALT";
    case UsbEventKind::Reset: return "RESET";
    }
    return "?";
}

std::optional<UsbEventKind> KindOf(const std::string& name)
{
    for (UsbEventKind kind : {UsbEventKind::Attach, UsbEventKind::Detach, UsbEventKind::SetInterface,
                              UsbEventKind::ControlOut, UsbEventKind::BulkIn, UsbEventKind::Halt, UsbEventKind::Reset})
        if (name == KindName(kind))
            return kind;
    return std::nullopt;
}

// The fields of the event line, as the replay compares them; status and counts follow apart.
std::string Fields(const UsbRecordEntry& e)
{
    std::string text = KindName(e.kind);
    switch (e.kind) {
    case UsbEventKind::Attach:
    case UsbEventKind::Detach: text += " device=" + std::to_string(e.device); break;
    case UsbEventKind::SetInterface:
        text += " interface=" + std::to_string(e.interfaceNumber) + " alternate=" + std::to_string(e.alternateSetting);
        break;
    case UsbEventKind::ControlOut:
        text += " type=" + Hex(e.setup.bmRequestType, 2) + " request=" + std::to_string(e.setup.bRequest) +
                " value=" + Hex(e.setup.wValue, 4) + " index=" + Hex(e.setup.wIndex, 4) +
                " length=" + std::to_string(e.setup.wLength);
        break;
    case UsbEventKind::BulkIn: text += " pipe=" + Hex(e.pipe, 2) + " length=" + std::to_string(e.requested); break;
    case UsbEventKind::Halt: text += " pipe=" + Hex(e.pipe, 2); break;
    case UsbEventKind::Reset: break;
    }
    return text;
}

std::string StripComment(const std::string& line)
{
    const auto hash = line.find('#');
    std::string text = hash == std::string::npos ? line : line.substr(0, hash);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.pop_back();
    return text;
}

// Decimal, or hexadecimal after "0x".
std::optional<unsigned long long> Number(const std::string& text)
{
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    unsigned long long value = 0;
    const auto [end, ec] = std::from_chars(first, last, value, hex ? 16 : 10);
    if (ec != std::errc() || end != last || first == last)
        return std::nullopt;
    return value;
}

std::optional<double> Decimal(const std::string& text)
{
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

class EventLine {
public:
    EventLine(std::map<std::string, std::string> fields, std::string& error) : fields_(std::move(fields)), error_(error) {}

    // A field that must be there, within `limit`.
    unsigned long long need(const std::string& key, unsigned long long limit)
    {
        const auto value = get(key, limit);
        if (!value && error_.empty())
            error_ = "the field " + key + "= is missing";
        return value.value_or(0);
    }
    std::optional<unsigned long long> get(const std::string& key, unsigned long long limit)
    {
        const auto it = fields_.find(key);
        if (it == fields_.end())
            return std::nullopt;
        const std::string text = it->second;
        fields_.erase(it);
        const auto value = Number(text);
        if (!value || *value > limit) {
            if (error_.empty())
                error_ = "the field " + key + "=" + text + " is not a number up to " + std::to_string(limit);
            return std::nullopt;
        }
        return value;
    }
    std::optional<double> getDecimal(const std::string& key)
    {
        const auto it = fields_.find(key);
        if (it == fields_.end())
            return std::nullopt;
        const auto value = Decimal(it->second);
        if (!value && error_.empty())
            error_ = "the field " + key + "=" + it->second + " is not a number";
        fields_.erase(it);
        return value;
    }
    // Whatever no rule took is a typing error.
    void finish()
    {
        if (!fields_.empty() && error_.empty())
            error_ = "unknown field " + fields_.begin()->first + "=";
    }

private:
    std::map<std::string, std::string> fields_;
    std::string& error_;
};

// Parses the fields after the time and the event name into `e`.
std::string ReadEventFields(UsbRecordEntry& e, const std::vector<std::string>& words)
{
    std::map<std::string, std::string> fields;
    for (std::size_t i = 2; i < words.size(); ++i) {
        const auto equals = words[i].find('=');
        if (equals == std::string::npos || equals == 0)
            return "'" + words[i] + "' is not a field of the form name=value";
        if (!fields.emplace(words[i].substr(0, equals), words[i].substr(equals + 1)).second)
            return "the field " + words[i].substr(0, equals) + "= is given twice";
    }
    std::string error;
    EventLine line(std::move(fields), error);
    const unsigned long long u32 = 0xFFFFFFFFull, u16 = 0xFFFF, u8 = 0xFF;
    switch (e.kind) {
    case UsbEventKind::Attach:
    case UsbEventKind::Detach: e.device = static_cast<unsigned>(line.get("device", u32).value_or(1)); break;
    case UsbEventKind::SetInterface:
        e.interfaceNumber = static_cast<int>(line.get("interface", 255).value_or(0));
        e.alternateSetting = static_cast<int>(line.get("alternate", 255).value_or(0));
        e.status = static_cast<UsbStatus>(line.get("status", u32).value_or(0));
        break;
    case UsbEventKind::ControlOut:
        e.setup.bmRequestType = static_cast<std::uint8_t>(line.get("type", u8).value_or(0x40));
        e.setup.bRequest = static_cast<std::uint8_t>(line.need("request", u8));
        e.setup.wValue = static_cast<std::uint16_t>(line.need("value", u16));
        e.setup.wIndex = static_cast<std::uint16_t>(line.need("index", u16));
        if (const auto length = line.get("length", u16))
            e.setup.wLength = static_cast<std::uint16_t>(*length);
        else
            e.setup.wLength = 0xFFFF; // taken from the data below
        e.status = static_cast<UsbStatus>(line.get("status", u32).value_or(0));
        e.transferred = line.get("sent", u32).value_or(u32 + 1);
        e.timeoutMs = static_cast<int>(line.get("timeout", 0x7FFFFFFF).value_or(-1));
        e.tookMs = line.getDecimal("took").value_or(-1.0);
        break;
    case UsbEventKind::BulkIn:
        e.pipe = static_cast<std::uint8_t>(line.get("pipe", u8).value_or(0x83));
        e.requested = line.need("length", u32);
        e.status = static_cast<UsbStatus>(line.get("status", u32).value_or(0));
        e.transferred = line.get("got", u32).value_or(u32 + 1);
        e.timeoutMs = static_cast<int>(line.get("timeout", 0x7FFFFFFF).value_or(-1));
        e.tookMs = line.getDecimal("took").value_or(-1.0);
        break;
    case UsbEventKind::Halt: e.pipe = static_cast<std::uint8_t>(line.get("pipe", u8).value_or(0x83)); break;
    case UsbEventKind::Reset:
        e.status = static_cast<UsbStatus>(line.get("status", u32).value_or(0));
        e.tookMs = line.getDecimal("took").value_or(-1.0);
        break;
    }
    line.finish();
    return error;
}

// Appends the bytes of one data line; an offset "N:" in front must be where the data stands.
std::string ReadDataLine(const std::vector<std::string>& words, std::vector<std::uint8_t>& data)
{
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (i == 0 && word.size() > 1 && word.back() == ':') {
            const auto offset = Number(word.substr(0, word.size() - 1));
            if (!offset || *offset != data.size())
                return "the offset " + word + " should be " + std::to_string(data.size()) + ":";
            continue;
        }
        const auto value = word.size() == 2 ? Number("0x" + word) : std::nullopt;
        if (!value)
            return "'" + word + "' is not a byte in two hex digits";
        data.push_back(static_cast<std::uint8_t>(*value));
    }
    return {};
}

// Checks the counts of a finished transfer against its data.
std::string CloseEntry(UsbRecordEntry& e)
{
    const std::size_t none = 0xFFFFFFFFull + 1;
    if (e.kind == UsbEventKind::ControlOut) {
        if (e.setup.wLength == 0xFFFF)
            e.setup.wLength = static_cast<std::uint16_t>(e.data.size());
        else if (e.setup.wLength != e.data.size())
            return "length=" + std::to_string(e.setup.wLength) + " but " + std::to_string(e.data.size()) +
                   " data bytes follow";
        if (e.transferred == none)
            e.transferred = e.status == usb_status::Success ? e.data.size() : 0;
    }
    if (e.kind == UsbEventKind::BulkIn) {
        if (e.transferred != none && e.transferred != e.data.size())
            return "got=" + std::to_string(e.transferred) + " but " + std::to_string(e.data.size()) +
                   " data bytes follow";
        if (e.data.size() > e.requested)
            return std::to_string(e.data.size()) + " bytes answer a read of " + std::to_string(e.requested);
        e.transferred = e.data.size();
    }
    return {};
}

std::vector<std::string> Words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

} // namespace

std::string DescribeUsbRecordEntry(const UsbRecordEntry& entry)
{
    return Fields(entry);
}

std::string FormatUsbRecordEntry(const UsbRecordEntry& e)
{
    std::string text = Milliseconds(e.timeMs) + ' ' + Fields(e);
    switch (e.kind) {
    case UsbEventKind::SetInterface: text += " status=" + Hex(e.status, 8); break;
    case UsbEventKind::ControlOut:
    case UsbEventKind::BulkIn:
        if (e.timeoutMs >= 0)
            text += " timeout=" + std::to_string(e.timeoutMs);
        text += " status=" + Hex(e.status, 8);
        text += (e.kind == UsbEventKind::ControlOut ? " sent=" : " got=") +
                std::to_string(e.kind == UsbEventKind::ControlOut ? e.transferred : e.data.size());
        break;
    case UsbEventKind::Reset: text += " status=" + Hex(e.status, 8); break;
    default: break;
    }
    if (e.tookMs >= 0)
        text += " took=" + Milliseconds(e.tookMs);
    text += '\n';
    for (std::size_t at = 0; at < e.data.size(); at += kBytesPerDataLine) {
        char offset[32];
        std::snprintf(offset, sizeof offset, "  %5zu: ", at);
        text += offset + HexBytes(e.data.data() + at, std::min(kBytesPerDataLine, e.data.size() - at)) + '\n';
    }
    return text;
}

UsbRecordParse ParseUsbRecord(std::istream& in)
{
    UsbRecordParse result;
    std::optional<UsbRecordEntry> open; // the transfer whose data lines may follow
    const auto fail = [&result](int line, const std::string& why) {
        result.error = "line " + std::to_string(line) + ": " + why;
        result.entries.clear();
        return result;
    };
    int number = 0;
    for (std::string raw; std::getline(in, raw);) {
        ++number;
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        const std::string text = StripComment(raw);
        if (text.empty())
            continue;
        const std::vector<std::string> words = Words(text);
        if (std::isspace(static_cast<unsigned char>(text.front()))) {
            const bool takesData = open && (open->kind == UsbEventKind::ControlOut || open->kind == UsbEventKind::BulkIn);
            if (!takesData)
                return fail(number, "data bytes without a transfer (OUT or IN) above them");
            if (const std::string why = ReadDataLine(words, open->data); !why.empty())
                return fail(number, why);
            continue;
        }
        if (open) {
            if (const std::string why = CloseEntry(*open); !why.empty())
                return fail(open->line, why);
            result.entries.push_back(std::move(*open));
            open.reset();
        }
        UsbRecordEntry entry;
        entry.line = number;
        const auto time = Decimal(words[0]);
        if (!time)
            return fail(number, "'" + words[0] + "' is not a time in milliseconds");
        entry.timeMs = *time;
        const auto kind = words.size() > 1 ? KindOf(words[1]) : std::nullopt;
        if (!kind)
            return fail(number, "expected ATTACH, DETACH, SETIF, OUT, IN, HALT or RESET after the time");
        entry.kind = *kind;
        if (const std::string why = ReadEventFields(entry, words); !why.empty())
            return fail(number, why);
        open = std::move(entry);
    }
    if (open) {
        if (const std::string why = CloseEntry(*open); !why.empty())
            return fail(open->line, why);
        result.entries.push_back(std::move(*open));
    }
    if (in.bad())
        return fail(number + 1, "the file could not be read to its end");
    return result;
}

} // namespace tesmar
