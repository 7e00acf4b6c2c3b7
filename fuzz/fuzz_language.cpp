// Any bytes as a language file: the message table, list sections and knob scales read without
// harm, every message stays a sensible length and formats with any arguments.

#include "settings/LanguageFile.h"
#include "text/MessageEscape.h"
#include "text/MessageFormat.h"
#include "ui/knob/KnobScales.h"
#include "ui/knob/ScaleTranslation.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tesmar;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto file = ParseLanguageFile(bytes);
    if (!file)
        return 0;

    MessageTable table;
    LoadMessageTable(*file, table);
    for (int i = 0; i < kMessageCount; ++i) {
        const std::string& text = table.text(static_cast<Msg>(i));
        if (text.size() > kMaxLanguageTextBytes)
            std::abort();
        // Formats come from the file: any of them with any arguments.
        FormatMessage(text, {"name.dat", 12345LL, 0.5});
        // Texts without the marker character survive the way into a file and back.
        if (text.find('$') == std::string::npos && UnescapeMessage(EscapeMessage(text)) != text)
            std::abort();
    }

    const std::vector<std::string> current{"один", "два", "три"};
    for (const std::string& section : file->sections()) {
        const auto lines = ReadListSection(*file, section, current);
        if (lines && (lines->empty() || lines->size() > static_cast<std::size_t>(kMaxListLines)))
            std::abort();
        if (const auto scale = PageKnobScale(section); scale && lines)
            ScaleTranslationFits(scale->lines, *lines);
        for (const std::string& key : file->keys(section))
            TransliterateCyrillic(ReadLanguageText(*file, section, key).value_or(""));
    }
    return 0;
}
