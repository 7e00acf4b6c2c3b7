#include "TerminalTexts.h"

#include "text/MessageFormat.h"

namespace tesmar {

std::string TerminalReadingText(const MessageTable& table, int count) {
    return FormatMessage(table.text(Msg::strTermReading), {static_cast<long long>(count)});
}

std::string TerminalWritingText(const MessageTable& table, int count) {
    return FormatMessage(table.text(Msg::strTermWriting), {static_cast<long long>(count)});
}

std::string TerminalResultText(const MessageTable& table, const I2CTransactionResult& result, bool write,
                               int requested) {
    switch (result.outcome) {
    case I2COutcome::Completed:
        return FormatMessage(table.text(write ? Msg::strTermWriteResult : Msg::strTermReadResult),
                             {static_cast<long long>(result.resultCount), static_cast<long long>(requested)});
    case I2COutcome::Cancelled:
        return table.text(Msg::strTermCancelled);
    case I2COutcome::NoDevice:
        return table.text(Msg::strTermNoDevice);
    case I2COutcome::NoAnswer:
        return table.text(Msg::strTermNoAnswer);
    case I2COutcome::Failed:
        break;
    }
    if (result.status == usb_status::Success)
        return table.text(Msg::strTermIncomplete);
    return FormatMessage(table.text(Msg::strTermUsbError),
                         {static_cast<unsigned long long>(result.status), StatusToText(result.status)});
}

bool TerminalResultNeedsMessage(const I2CTransactionResult& result, bool write, int requested) {
    if (result.outcome == I2COutcome::Cancelled)
        return false;
    if (result.outcome != I2COutcome::Completed)
        return true;
    // A short read shows its valid bytes; a short write would otherwise go unnoticed.
    return result.resultCount == 0 || (write && result.resultCount < requested);
}

std::string TerminalResultMessage(const MessageTable& table, const I2CTransactionResult& result, bool write,
                                  int requested) {
    const std::string& failed = table.text(Msg::strTermExchangeError);
    if (result.outcome == I2COutcome::Completed && result.resultCount == 0)
        return failed;
    return failed + "\r\r" + TerminalResultText(table, result, write, requested);
}

} // namespace tesmar
