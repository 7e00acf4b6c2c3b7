#include "text/MessageEscape.h"

#include <gtest/gtest.h>

namespace tesmar {
namespace {

TEST(MessageEscape, EscapesAndRestores) {
    struct Case {
        std::string text;
        std::string escaped;
    };
    const Case cases[] = {
        {" сек", "$сек"},
        {"a\rb", "a$13$b"},
        {"a\r\nb", "a$13$$10$b"},
        {"\r\rX", "$13$$13$X"},
        {" a\rb ", "$a$13$b "},
        {"Файл %s уже существует.\rЗаменить?", "Файл %s уже существует.$13$Заменить?"},
        {"", ""},
        {"plain", "plain"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EscapeMessage(c.text), c.escaped) << c.text;
        EXPECT_EQ(UnescapeMessage(c.escaped), c.text) << c.escaped;
    }
}

TEST(MessageEscape, OnlyTheFirstBlankIsMarked) {
    EXPECT_EQ(EscapeMessage("  two"), "$ two");
    EXPECT_EQ(UnescapeMessage("$ two"), "  two");
}

} // namespace
} // namespace tesmar
