#include "midi/midi_result.h"
#include "midi/rtmidi/rtmidi_port_directory.h"

#include <gtest/gtest.h>

#include <cstdlib>

// Runs against whatever MIDI service the machine has, or none: no ALSA sequencer, no JACK
// server, or both. A port that is not there must fail quietly in every case.
TEST(RtMidiDevices, aPortThatIsNotThereFailsWithoutAWord)
{
    setenv("JACK_NO_START_SERVER", "1", 1);
    const auto directory = makeRtMidiPortDirectory();
    ASSERT_FALSE(directory->apis().empty());
    for (const MidiServiceApi api : directory->apis()) {
        testing::internal::CaptureStderr();
        (void)directory->outputPorts(api);
        const auto device = directory->makeDevice(
            { DeviceEntry::Kind::ServicePort, api, "No such client:no such port" });
        ASSERT_TRUE(device);
        const std::int32_t rc = device->open();
        device->send(0x7F2498);
        device->close();
        const std::string printed = testing::internal::GetCapturedStderr();

        EXPECT_TRUE(rc == MidiResult::BadDeviceId || rc == MidiResult::NoDriver)
            << "service " << static_cast<int>(api) << ": rc " << rc;
        EXPECT_EQ(printed, "") << "service " << static_cast<int>(api);
    }
}
