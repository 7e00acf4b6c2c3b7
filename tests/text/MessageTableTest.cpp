#include "text/MessageTable.h"

#include <gtest/gtest.h>

namespace tesmar {
namespace {

TEST(MessageTable, KeysRoundTripInTableOrder) {
    for (int i = 0; i < kMessageCount; ++i) {
        const auto key = static_cast<Msg>(i);
        const auto name = MessageTable::keyName(key);
        ASSERT_TRUE(name.starts_with("str")) << i;
        EXPECT_EQ(MessageTable::keyFromName(name), key) << name;
        EXPECT_FALSE(MessageTable::builtInText(key).empty()) << name;
    }
    EXPECT_EQ(MessageTable::keyName(Msg::strReplaceFile), "strReplaceFile");
    EXPECT_EQ(MessageTable::keyName(Msg::strLanEditClearHint),
              "strLanEditClearHint"); // last of the main table
    EXPECT_EQ(MessageTable::keyName(Msg::strInstallByWin), "strInstallByWin");
    EXPECT_EQ(MessageTable::keyFromName("strreplacefile"), std::nullopt); // exact case only
    EXPECT_EQ(MessageTable::keyFromName("strNothing"), std::nullopt);
    EXPECT_EQ(MessageTable::keyFromName(""), std::nullopt);
}

TEST(MessageTable, BuiltInTextsAsTheProgramShowsThem) {
    struct Case {
        Msg key;
        const char* text;
    };
    const Case cases[] = {
        {Msg::strReplaceFile, "Файл %s уже существует.\rЗаменить?"},
        {Msg::strErrorInit, "Ошибка инициализации. Код: %4x"},
        {Msg::strExchangeError, "Во время обмена произошла ошибка.\rКод ошибки: %8x\rОписание: %s"},
        {Msg::strInitError,
         "Не удалось проинициализировать устройство.\r\rВозможные причины:\rУстройство не было "
         "подключено до запуска программы или\rустройство занято другой программой."},
        {Msg::strOscFileOpenHint, "Открыть файл с данными осциллографа"},
        {Msg::strOscEditClearHint, "Очистить окно осциллографа"},
        {Msg::strDim_V, " В"},
        {Msg::strDim_mV, " мВ"},
        {Msg::strDim_KHz, " кГц"},
        {Msg::strNoDataToSave, "Нет данных для сохранения."},
        {Msg::strLangPreView, "RU"},
        {Msg::strRunSingle, "Однокр."},
        {Msg::strRun, "Цикл."},
        {Msg::strReset, "Сброс"},
        {Msg::strNumber, "№"},
        {Msg::strLan1WrTblDesc, "                                     Описание"},
        {Msg::strInstallOk, "Драйвера успешно установлены!"},
        {Msg::strInstallWait,
         "Дождитесь окончания установки (закрытия  консольного окна).\rПосле чего нажмите кнопку \"ОК\"."},
        {Msg::strLanGenHint,
         "Данные генератора можно редактировать прямо на графике, щелкая мышкой или перемещая ее, "
         "удерживая левую-\"1\", правую-\"0\" кнопку"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MessageTable::builtInText(c.key), c.text) << MessageTable::keyName(c.key);
    EXPECT_NE(MessageTable::builtInText(Msg::strInstallByWin).find("C:\\Program Files\\Tesmar2\\ Driver"),
              std::string::npos);
}

TEST(MessageTable, EntriesCanBeReplacedWithoutTouchingTheBuiltIns) {
    MessageTable table;
    EXPECT_EQ(table.text(Msg::strStart), "Запуск");
    table.setText(Msg::strStart, "Start");
    EXPECT_EQ(table.text(Msg::strStart), "Start");
    EXPECT_EQ(MessageTable::builtInText(Msg::strStart), "Запуск");
    EXPECT_EQ(MessageTable().text(Msg::strStart), "Запуск");
}

} // namespace
} // namespace tesmar
