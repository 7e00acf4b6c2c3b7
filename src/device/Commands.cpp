#include "Commands.h"

#include "UsbSession.h"

namespace tesmar {

bool SendCommand(UsbSession& session, const DeviceCommand& command)
{
    SetupPacket& setup = session.setupPacket();
    setup.bRequest = command.code;
    if (command.wValue)
        setup.wValue = *command.wValue;
    if (command.wIndex)
        setup.wIndex = *command.wIndex;
    const std::uint32_t written = session.WriteCommand(command.data.empty() ? nullptr : command.data.data(),
                                                       static_cast<std::uint16_t>(command.data.size()));
    session.pause(command.pauseAfterMs);
    return written == command.data.size();
}

bool SendCommands(UsbSession& session, const CommandSequence& commands)
{
    for (const DeviceCommand& command : commands)
        if (!SendCommand(session, command))
            return false;
    return true;
}

std::vector<std::uint8_t> QueryDevice(UsbSession& session, std::uint8_t code, int pauseMs, std::uint32_t answerLength)
{
    SendCommand(session, DeviceCommand{code, {}, {}, {}, pauseMs});
    std::vector<std::uint8_t> answer(answerLength, 0);
    if (answerLength == 0)
        return answer;
    const std::uint32_t count = session.ReadDataPipe(answer.data(), answerLength);
    answer.resize(count);
    return answer;
}

} // namespace tesmar
