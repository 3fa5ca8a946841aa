#include "player/win/ControlPlayback.h"

#include <cctype>

namespace player {

bool IsInternetLocation(const std::string& strLocation)
{
    const size_t nColon = strLocation.find("://");
    // One letter before the colon is a drive ("C://x" is a path written loosely), not a scheme.
    if (nColon == std::string::npos || nColon < 2)
        return false;
    for (size_t i = 0; i < nColon; ++i) {
        const unsigned char ch = static_cast<unsigned char>(strLocation[i]);
        if (!std::isalnum(ch) && ch != '+' && ch != '-' && ch != '.')
            return false;
    }
    std::string strScheme = strLocation.substr(0, nColon);
    for (char& ch : strScheme)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return strScheme != "file";
}

EScaleMode ScaleModeOfProperty(long nValue)
{
    switch (nValue) {
    case 1:
        return EScaleMode::NoBorder;
    case 2:
        return EScaleMode::ExactFit;
    case 3:
        return EScaleMode::NoScale;
    default:
        return EScaleMode::ShowAll;
    }
}

ELoadError CPlayback::Load(const uint8_t* pData, size_t nSize, uint64_t nNowMs)
{
    const ELoadError e = m_player.Load(pData, nSize);
    m_clock.Start(nNowMs, m_player.GetFrameRate());
    return e;
}

void CPlayback::SetLoop(bool bLoop, uint64_t nNowMs)
{
    const bool bWasStatic = m_player.IsStatic();
    m_player.SetLoop(bLoop);
    // The clock stood still with the movie; frames missed meanwhile are not owed.
    if (bWasStatic && !m_player.IsStatic())
        m_clock.Start(nNowMs, m_player.GetFrameRate());
}

bool CPlayback::Tick(uint64_t nNowMs)
{
    bool bChanged = false;
    for (uint32_t n = m_clock.FramesDue(nNowMs); n > 0 && !m_player.IsStatic(); --n)
        bChanged |= m_player.Advance();
    return bChanged;
}

uint32_t CPlayback::NextTickDelay(uint64_t nNowMs) const
{
    return m_player.IsStatic() ? NO_TICK : m_clock.MsUntilNext(nNowMs);
}

}  // namespace player
