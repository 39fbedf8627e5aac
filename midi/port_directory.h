#pragma once

#include "midi/device_list.h"
#include "midi/output_device.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// The MIDI services of the machine as the device list sees them: which exist, the names of their
// output ports, and a device for one of those ports.
class PortDirectory
{
public:
    virtual ~PortDirectory() = default;

    // The services to try, in order of preference, among those built in.
    [[nodiscard]] virtual std::vector<MidiServiceApi> apis() const = 0;
    // The names of `api`'s output ports, in its order; no list when the service is missing.
    [[nodiscard]] virtual std::optional<std::vector<std::string>> outputPorts(MidiServiceApi api)
        = 0;
    // A device for port `port` of `api`, not yet open.
    [[nodiscard]] virtual std::unique_ptr<OutputDevice> makeDevice(const DeviceEntry& port) = 0;
};
