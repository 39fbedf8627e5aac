#include "midi/fluidsynth/fluid_driver_connection.h"

#include "midi/fluidsynth/fluid_synth_library.h"

namespace {

// Three periods of the asked quantum: fewer drop out without real-time priority.
constexpr int periods = 3;

class FluidDriverConnection final : public AudioConnection
{
public:
    FluidDriverConnection(const FluidSynthLibrary& fluid, std::string driver, AudioSource& source,
        const AudioFormat& format)
        : AudioConnection(source, format)
        , m_fluid(fluid)
        , m_driverName(std::move(driver))
    { }

    ~FluidDriverConnection() override
    {
        if (m_driver != nullptr)
            m_fluid.deleteAudioDriver(m_driver);
        if (m_settings != nullptr)
            m_fluid.deleteSettings(m_settings);
    }

    bool connect() override
    {
        m_settings = m_fluid.newSettings();
        if (m_settings == nullptr)
            return false;
        m_fluid.settingsSetStr(m_settings, "audio.driver", m_driverName.c_str());
        m_fluid.settingsSetNum(m_settings, "synth.sample-rate", m_format.sampleRate);
        m_fluid.settingsSetInt(m_settings, "audio.period-size", m_format.quantum);
        m_fluid.settingsSetInt(m_settings, "audio.periods", periods);
        m_fluid.settingsSetStr(m_settings, "audio.jack.id", m_format.name.c_str());
        m_fluid.settingsSetInt(m_settings, "audio.jack.autoconnect", 1);
        m_driver = m_fluid.newAudioDriver2(m_settings, &FluidDriverConnection::process, this);
        return m_driver != nullptr;
    }

private:
    static int process(void* self, int frames, int, float*[], int outputs, float* out[])
    {
        if (outputs < 2)
            return FLUID_FAILED;
        static_cast<FluidDriverConnection*>(self)->render(
            { out[0], out[1], static_cast<std::size_t>(frames) });
        return FLUID_OK;
    }

    const FluidSynthLibrary& m_fluid;
    std::string m_driverName;
    fluid_settings_t* m_settings = nullptr;
    fluid_audio_driver_t* m_driver = nullptr;
};

} // namespace

std::shared_ptr<AudioConnection> makeFluidDriverConnection(
    const std::string& driver, AudioSource& source, const AudioFormat& format)
{
    const FluidSynthLibrary* fluid = fluidSynthLibrary();
    return fluid != nullptr
        ? std::make_shared<FluidDriverConnection>(*fluid, driver, source, format)
        : nullptr;
}
