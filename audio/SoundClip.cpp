#include "audio/SoundClip.h"

#include "support/FilePaths.h"

namespace lumarra {

int SoundClip::Load(const std::string& name)
{
    m_sound.CreateFromFile(JoinPath(GetModuleFolder(), name));
    return 1;
}

void SoundClip::Unload()
{
    m_sound.Stop();
    m_sound.Release();
}

int SoundClip::Play(int mode)
{
    m_mode = mode;
    m_sound.Play(mode == 0 || mode == 1 ? 0 : 1);
    return 1;
}

int SoundClip::Stop()
{
    return m_sound.Stop();
}

int SoundClip::Pause()
{
    return m_sound.Pause();
}

int SoundClip::Resume()
{
    return m_sound.Resume();
}

int SoundClip::IsPlaying()
{
    return m_sound.IsPlaying();
}

int SoundClip::WaitUntilEnd(const std::atomic<int>& keepWaiting)
{
    return m_sound.WaitUntilEnd(keepWaiting);
}

void PlayFileOnce(SoundClip& clip, const std::string& name, int wait)
{
    clip.Load(name);
    clip.Play(1);
    if (wait)
        FinishClip(clip);
}

void FinishClip(SoundClip& clip)
{
    const std::atomic<int> untilTheEnd { 1 };
    clip.WaitUntilEnd(untilTheEnd);
    clip.Unload();
}

void CutClip(SoundClip& clip)
{
    clip.Stop();
    clip.Unload();
}

}
