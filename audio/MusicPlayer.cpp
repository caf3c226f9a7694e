#include "audio/MusicPlayer.h"

#include "audio/Volume.h"
#include "audio/WaveFile.h"
#include "platform/Paths.h"
#include "platform/Text.h"

#include <cstdio>

namespace kv {

MusicPlayer::MusicPlayer(const SoundOptions& options, MessageBoxes& boxes)
    : options_(options), boxes_(boxes) {}

void MusicPlayer::setDevice(AudioDevice& device) {
    device_ = &device;
    sources_.fill(0);
}

void MusicPlayer::fail(const char* utf8Message) {
    boxes_.show(sjis("DirectMusic"), sjis(utf8Message));
}

bool MusicPlayer::initMusic() {
    if (initialised_)
        return true;
    std::FILE* f = std::fopen(soundFont_.c_str(), "rb");
    if (!f) {
        fail("DirectMusicLoader8 オブジェクトの作成に失敗しました。");
        return false;
    }
    std::fclose(f);
    initialised_ = true;
    return true;
}

bool MusicPlayer::loadTrack(int track) {
    if (track < 0 || track >= kMusicTracks || !device_)
        return false;
    std::string path = std::string(kMusicFolder) + std::string(kMusicFiles[track]);
    PcmSound pcm;
    if (track == 0) {
        if (!loadWaveFile(path, pcm))
            return false;
    } else {
        std::string bytes, reason;
        if (!readWholeFile(path, bytes))
            return false;
        MidiResult r = renderMidi(bytes, soundFont_, pcm, reason);
        if (r == MidiResult::BadFile)
            return false;
        if (r == MidiResult::NoSynth) {
            fail("パフォーマンスの初期化に失敗しました。");
            return false;
        }
    }
    AudioSource source = device_->createSource(device_->createBuffer(pcm), false);
    if (!source) {
        fail("DirectMusicPerformance8 オブジェクトの作成に失敗しました。");
        return false;
    }
    sources_[track] = source;
    setTrackVolume(track);
    return true;
}

void MusicPlayer::playTrack(int track) {
    if (track < 0 || track >= kMusicTracks || !sources_[track] || options_.musicOn != 1)
        return;
    if (!device_->isPlaying(sources_[track]))
        device_->play(sources_[track], true);
}

void MusicPlayer::stopTrack(int track) {
    if (track >= 0 && track < kMusicTracks && sources_[track])
        device_->stop(sources_[track]);
}

bool MusicPlayer::isPlaying(int track) {
    return track >= 0 && track < kMusicTracks && sources_[track] &&
           device_->isPlaying(sources_[track]);
}

void MusicPlayer::setTrackVolume(int track) {
    if (track >= 0 && track < kMusicTracks && sources_[track])
        device_->setGain(sources_[track], gainOf(musicAttenuation(options_.musicVolume)));
}

void MusicPlayer::applyOptions() {
    for (int t = 0; t < kMusicTracks; ++t) {
        if (options_.musicOn == 1) {
            if (t == 0)
                playTrack(t);
            setTrackVolume(t);
        } else {
            stopTrack(t);
        }
    }
}

void MusicPlayer::closeMusic() {
    for (int t = 0; t < kMusicTracks; ++t)
        stopTrack(t);
    sources_.fill(0);
    initialised_ = false;
}

} // namespace kv
