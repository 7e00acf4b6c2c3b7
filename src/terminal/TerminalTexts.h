#pragma once
// The terminal's own texts: the status window's lines, the exchange error and what the result
// line says after a transfer.

#include "I2CTransaction.h"

#include <string>

namespace tesmar {

inline constexpr const char* kTerminalStatusUnused = "не используется";
inline constexpr const char* kTerminalExchangeFailed =
    "Произошла ошибка обмена.\rНевозможно передать/принять все данные.";

std::string TerminalReadingText(int count); // "читаем 16 байт"
std::string TerminalWritingText(int count); // "записываем 16 байт"

// One line on what the transfer of `requested` bytes came to.
std::string TerminalResultText(const I2CTransactionResult& result, bool write, int requested);

// Whether the user is told in a box: a transfer that moved nothing or was cut short and was not
// ended by the user. A read that moved some bytes shows them and needs no box.
bool TerminalResultNeedsMessage(const I2CTransactionResult& result, bool write, int requested);
// The box's text: the exchange error and, when there is more to say, the reason.
std::string TerminalResultMessage(const I2CTransactionResult& result, bool write, int requested);

} // namespace tesmar
