#pragma once

#include <cstdint>

// Result codes of opening a MIDI output device. Where a cause has a number in the Windows
// multimedia MIDI service, that number is used, so the codes read the same on every platform.
namespace MidiResult {

inline constexpr std::int32_t NoError = 0;
inline constexpr std::int32_t Error = 1; // unspecified error
inline constexpr std::int32_t BadDeviceId = 2; // no output device with that number
inline constexpr std::int32_t Allocated = 4; // the device is in use by another program
inline constexpr std::int32_t NoDriver = 6; // no MIDI service or driver
inline constexpr std::int32_t NotReady = 67; // built-in synthesiser: no audio output to play to
inline constexpr std::int32_t NoDevice = 68; // built-in synthesiser: its library is missing
inline constexpr std::int32_t InvalidSetup = 69; // built-in synthesiser: no General MIDI SoundFont

} // namespace MidiResult
