#include "SceneSettings.h"

#include <cstdlib>

namespace tesmar {

AnalogScene SceneFromEnvironment(std::string& problems)
{
    AnalogScene scene;
    const struct {
        const char* variable;
        SignalSource* source;
    } inputs[] = {{"TESMAR_SIM_A", &scene.channelA}, {"TESMAR_SIM_B", &scene.channelB}};
    for (const auto& input : inputs) {
        const char* text = std::getenv(input.variable);
        if (!text || !*text)
            continue;
        std::string why;
        if (auto source = SignalSource::Parse(text, &why))
            *input.source = *source;
        else
            problems += std::string(input.variable) + ": " + why + "\n";
    }
    return scene;
}

std::vector<SimFault> FaultsFromEnvironment(std::string& problems)
{
    const char* text = std::getenv("TESMAR_SIM_FAULT");
    if (!text)
        return {};
    std::string why;
    if (auto faults = ParseSimFaults(text, &why))
        return *faults;
    problems += "TESMAR_SIM_FAULT: " + why + "\n";
    return {};
}

} // namespace tesmar
