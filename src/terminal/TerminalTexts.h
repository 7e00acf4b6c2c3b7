#pragma once
// The terminal's own texts, from the message table: the status window's lines, the exchange
// error and what the result line says after a transfer.

#include "I2CTransaction.h"
#include "text/MessageTable.h"

#include <string>

namespace tesmar {

std::string TerminalReadingText(const MessageTable& table, int count); // "читаем 16 байт"
std::string TerminalWritingText(const MessageTable& table, int count); // "записываем 16 байт"

// One line on what the transfer of `requested` bytes came to.
std::string TerminalResultText(const MessageTable& table, const I2CTransactionResult& result, bool write,
                               int requested);

// Whether the user is told in a box: a transfer that moved nothing or was cut short and was not
// ended by the user. A read that moved some bytes shows them and needs no box.
bool TerminalResultNeedsMessage(const I2CTransactionResult& result, bool write, int requested);
// The box's text: the exchange error and, when there is more to say, the reason.
std::string TerminalResultMessage(const MessageTable& table, const I2CTransactionResult& result, bool write,
                                  int requested);

} // namespace tesmar
