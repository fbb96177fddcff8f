#include "game/StudyVoice.h"

#include "audio/SoundTable.h"
#include "platform/Clock.h"

#include <cstdio>

namespace lumarra {

namespace {

constexpr int kOnce = 1;
// Keeps the history from growing without end over a long session.
constexpr size_t kHistoryLimit = 64;

}

std::string StudyVoice::VoiceFile(int folder, int readIndex)
{
    char name[32];
    std::snprintf(name, sizeof name, "Wave\\%03d\\%03d0.mp3", folder, readIndex);
    return name;
}

StudyVoice::StudyVoice(SoundTable* sounds)
    : m_sounds(sounds)
{
    m_running = 1;
    m_thread = std::thread([this] { Body(); });
}

StudyVoice::~StudyVoice()
{
    End();
}

void StudyVoice::RequestVoice(int folder, int readIndex)
{
    m_folder = folder;
    m_readIndexPlusOne = readIndex + 1;
    m_request = 1;
}

void StudyVoice::End()
{
    m_quit = 1;
    if (m_thread.joinable())
        m_thread.join();
}

std::vector<std::string> StudyVoice::GetHistory() const
{
    std::lock_guard guard(m_historyLock);
    return m_history;
}

void StudyVoice::Note(std::string what)
{
    std::lock_guard guard(m_historyLock);
    if (m_history.size() >= kHistoryLimit)
        m_history.erase(m_history.begin());
    m_history.push_back(std::move(what));
}

void StudyVoice::Body()
{
    while (!m_quit) {
        if (m_stopPlaying.exchange(0))
            CutClip(m_clip);
        if (m_request.exchange(0))
            PlayRequested();
        else if (!m_clip.IsPlaying())
            m_clip.Unload();
        SleepUnlessStopped(kPollMs, m_quit);
    }
    CutClip(m_clip);
    m_running = 0;
}

void StudyVoice::PlayRequested()
{
    if (m_clip.IsPlaying()) {
        m_clip.Stop();
        if (m_sounds)
            m_sounds->PlaySound(kClickSound, kOnce);
        Note("click");
        if (!SleepUnlessStopped(kGapMs, m_quit))
            return;
        m_clip.Unload();
        if (!SleepUnlessStopped(kGapMs, m_quit))
            return;
    }
    std::string name = VoiceFile(m_folder, m_readIndexPlusOne - 1);
    m_clip.Load(name);
    m_clip.Play(kOnce);
    Note(name);
    SleepUnlessStopped(kGapMs, m_quit);
}

}
