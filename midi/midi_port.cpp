#include "midi/midi_port.h"

MidiPort::MidiPort(MidiService& service)
    : m_service(service)
{ }

std::int32_t MidiPort::open(std::int32_t deviceId)
{
    close();
    const std::int32_t rc = m_service.open(deviceId);
    m_state = rc == 0 ? State::Open : State::Failed;
    return rc;
}

void MidiPort::send(std::optional<std::uint32_t> message)
{
    if (m_state == State::Open && message)
        m_service.send(*message);
}

void MidiPort::close()
{
    if (m_state == State::Open)
        m_service.close();
    m_state = State::Closed;
}
