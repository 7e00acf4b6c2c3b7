#include "TerminalTexts.h"

#include <cstdio>

namespace tesmar {

std::string TerminalReadingText(int count) {
    return "читаем " + std::to_string(count) + " байт";
}

std::string TerminalWritingText(int count) {
    return "записываем " + std::to_string(count) + " байт";
}

std::string TerminalResultText(const I2CTransactionResult& result, bool write, int requested) {
    switch (result.outcome) {
    case I2COutcome::Completed:
        return (write ? "Записано " : "Прочитано ") + std::to_string(result.resultCount) + " байт из " +
               std::to_string(requested);
    case I2COutcome::Cancelled:
        return "Обмен прерван кнопкой \"Сброс\"";
    case I2COutcome::NoDevice:
        return "Прибор не подключен";
    case I2COutcome::NoAnswer:
        return "Прибор не завершил обмен за отведенное время";
    case I2COutcome::Failed:
        break;
    }
    if (result.status == usb_status::Success)
        return "Прибор передал не все принятые данные";
    char code[16];
    std::snprintf(code, sizeof code, "%08X", result.status);
    return std::string("Ошибка USB ") + code + ": " + StatusToText(result.status);
}

bool TerminalResultNeedsMessage(const I2CTransactionResult& result, bool write, int requested) {
    if (result.outcome == I2COutcome::Cancelled)
        return false;
    if (result.outcome != I2COutcome::Completed)
        return true;
    // A short read shows its valid bytes; a short write would otherwise go unnoticed.
    return result.resultCount == 0 || (write && result.resultCount < requested);
}

std::string TerminalResultMessage(const I2CTransactionResult& result, bool write, int requested) {
    if (result.outcome == I2COutcome::Completed && result.resultCount == 0)
        return kTerminalExchangeFailed;
    return std::string(kTerminalExchangeFailed) + "\r\r" + TerminalResultText(result, write, requested);
}

} // namespace tesmar
