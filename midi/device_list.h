#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The MIDI services the keyboard can play through. `Jack` is the fallback on every platform.
enum class MidiServiceApi { Alsa, Jack, CoreMidi };

// The output ports one MIDI service lists, in its own order; no list when the service is missing.
struct ServicePorts
{
    MidiServiceApi api;
    std::optional<std::vector<std::string>> ports;
};

// One entry of the keyboard's list of output devices.
struct DeviceEntry
{
    enum class Kind { ServicePort, BuiltInSynth };
    Kind kind = Kind::BuiltInSynth;
    MidiServiceApi api = MidiServiceApi::Alsa; // for a service port
    std::string name;

    bool operator==(const DeviceEntry&) const = default;
};

namespace DeviceList {

// The client name under which the keyboard shows up in the MIDI service's connection tools.
inline constexpr std::string_view ClientName = "Nolvex MIDI keyboard";

// True for a port worth playing to: not a pass-through loopback such as ALSA's "Midi Through",
// which makes no sound, and not one of `ownClient`'s own ports ("client:port" names).
[[nodiscard]] bool isCandidate(std::string_view portName, std::string_view ownClient);

// The output devices, device 0 first: the candidate ports of the first service (in `services`'
// order of preference) that has any, then the built-in synthesiser, always last.
[[nodiscard]] std::vector<DeviceEntry> outputDevices(
    const std::vector<ServicePorts>& services, std::string_view ownClient);

} // namespace DeviceList
