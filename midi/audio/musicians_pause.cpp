#include "midi/audio/musicians_pause.h"

#include <algorithm>

MusiciansPause::Block MusiciansPause::played(std::uint32_t wakes, std::size_t frames, bool sounds)
{
    m_lastSilent.store(!sounds);
    if (wakes != m_seenWakes || sounds) {
        m_seenWakes = wakes;
        m_silentFrames = 0;
        m_asked = false;
    }
    if (sounds)
        return { true, false, wakes };
    m_silentFrames = std::min(m_silentFrames + frames, m_pauseFrames);
    const bool pause = m_silentFrames == m_pauseFrames && !m_asked;
    m_asked = m_asked || pause;
    return { false, pause, wakes };
}

bool MusiciansPause::pause(const Block& block)
{
    if (m_paused || m_wakes.load() != block.wakes)
        return false;
    m_paused = true;
    return true;
}

MusiciansPause::Wake MusiciansPause::wake()
{
    m_wakes.fetch_add(1);
    const Wake wake { m_paused, m_paused || m_lastSilent.load() };
    m_paused = false;
    return wake;
}
