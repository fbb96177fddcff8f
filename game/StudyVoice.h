#pragma once

#include "audio/SoundClip.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lumarra {

class SoundTable;

// The study screen's voice worker: plays the proverb voice last asked for
// in the background. A new request while a voice plays cuts it, plays the
// click (sound 9 of the table) and leaves short gaps before the new voice.
// The request fields are shared with the screen's threads without a lock.
class StudyVoice {
public:
    static constexpr int kPollMs = 100;
    static constexpr int kGapMs = 200;
    static constexpr int kClickSound = 9;

    // `sounds` (may be null) is the stage's table, for the click.
    explicit StudyVoice(SoundTable* sounds);
    ~StudyVoice();
    StudyVoice(const StudyVoice&) = delete;
    StudyVoice& operator=(const StudyVoice&) = delete;

    // "Wave\<folder>\<readIndex>0.mp3", relative to the program's folder.
    static std::string VoiceFile(int folder, int readIndex);

    // Plays "Wave\<folder>\<readIndex>0.mp3" once the worker next looks.
    void RequestVoice(int folder, int readIndex);
    // Stops and lets go of the voice playing.
    void RequestStop() { m_stopPlaying = 1; }
    // Asks the worker to end and waits for it.
    void End();

    bool IsRunning() const { return m_running.load() != 0; }
    bool IsPlaying() { return m_clip.IsPlaying() != 0; }
    // What the worker did, in order: "click" and the names of the voices it
    // started.
    std::vector<std::string> GetHistory() const;

private:
    void Body();
    void PlayRequested();
    void Note(std::string what);

    SoundTable* m_sounds;
    SoundClip m_clip;
    std::atomic<int> m_folder { 0 };
    std::atomic<int> m_readIndexPlusOne { 0 };
    std::atomic<int> m_request { 0 };
    std::atomic<int> m_stopPlaying { 0 };
    std::atomic<int> m_quit { 0 };
    std::atomic<int> m_running { 0 };
    mutable std::mutex m_historyLock;
    std::vector<std::string> m_history;
    std::thread m_thread;
};

}
