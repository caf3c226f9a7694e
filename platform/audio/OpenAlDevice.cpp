#include "platform/audio/AudioDevice.h"

#include <AL/al.h>
#include <AL/alc.h>

namespace kv {
namespace {

// OpenAL is right-handed: the game's forward axis is its -z.
void toAl(AudioVec v, ALfloat out[3]) {
    out[0] = v.x;
    out[1] = v.y;
    out[2] = -v.z;
}

// The game keeps a source for every effect copy of every slot, far more than an output mixes
// at once, so sources are ours and borrow one of a fixed set of OpenAL voices while they play.
class OpenAlDevice final : public AudioDevice {
public:
    OpenAlDevice(ALCdevice* device, ALCcontext* context) : device_(device), context_(context) {
        for (int i = 0; i < kMaxVoices; ++i) {
            ALuint id = 0;
            alGenSources(1, &id);
            if (alGetError() != AL_NO_ERROR)
                break;
            voices_.push_back({id, 0});
        }
    }

    ~OpenAlDevice() override {
        for (Voice& v : voices_)
            alDeleteSources(1, &v.id);
        if (!buffers_.empty())
            alDeleteBuffers(static_cast<ALsizei>(buffers_.size()), buffers_.data());
        if (alcGetCurrentContext() == context_)
            alcMakeContextCurrent(nullptr);
        alcDestroyContext(context_);
        alcCloseDevice(device_);
    }

    bool hasVoices() const { return !voices_.empty(); }

    AudioBuffer createBuffer(const PcmSound& pcm) override {
        if (!pcm.playable())
            return 0;
        ALenum format = pcm.channels == 1
                            ? (pcm.bitsPerSample == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16)
                            : (pcm.bitsPerSample == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16);
        size_t bytes = pcm.data.size() / pcm.frameBytes() * pcm.frameBytes();
        ALuint id = 0;
        alGetError();
        alGenBuffers(1, &id);
        alBufferData(id, format, pcm.data.data(), static_cast<ALsizei>(bytes), pcm.sampleRate);
        if (alGetError() != AL_NO_ERROR) {
            alDeleteBuffers(1, &id);
            return 0;
        }
        buffers_.push_back(id);
        return static_cast<AudioBuffer>(buffers_.size());
    }

    AudioSource createSource(AudioBuffer buffer, bool positional) override {
        if (buffer < 1 || buffer > static_cast<int>(buffers_.size()))
            return 0;
        sources_.push_back({buffers_[buffer - 1], positional});
        return static_cast<AudioSource>(sources_.size());
    }

    void setGain(AudioSource s, float gain) override {
        if (Source* src = find(s)) {
            src->gain = gain;
            if (Voice* v = voiceOf(s))
                alSourcef(v->id, AL_GAIN, gain);
        }
    }

    void setPosition(AudioSource s, AudioVec pos) override {
        if (Source* src = find(s)) {
            src->pos = pos;
            if (Voice* v = voiceOf(s); v && src->positional) {
                ALfloat p[3];
                toAl(pos, p);
                alSourcefv(v->id, AL_POSITION, p);
            }
        }
    }

    void play(AudioSource s, bool loop) override {
        Source* src = find(s);
        if (!src)
            return;
        Voice* v = voiceOf(s);
        if (v && state(*v) == AL_PLAYING) {
            alSourcei(v->id, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
            return;
        }
        if (!v)
            v = freeVoice();
        if (!v)
            return; // every voice busy: this sound is dropped
        if (v->owner != s) {
            alSourceRewind(v->id);
            alSourcei(v->id, AL_BUFFER, static_cast<ALint>(src->buffer));
            v->owner = s;
        }
        alSourcef(v->id, AL_GAIN, src->gain);
        alSourcei(v->id, AL_SOURCE_RELATIVE, src->positional ? AL_FALSE : AL_TRUE);
        ALfloat p[3] = {0, 0, 0};
        if (src->positional)
            toAl(src->pos, p);
        alSourcefv(v->id, AL_POSITION, p);
        alSourcei(v->id, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
        alSourcePlay(v->id);
    }

    void stop(AudioSource s) override {
        if (Voice* v = voiceOf(s)) {
            alSourceStop(v->id);
            alSourceRewind(v->id);
            alSourcei(v->id, AL_BUFFER, 0);
            v->owner = 0;
        }
    }

    bool isPlaying(AudioSource s) override {
        Voice* v = voiceOf(s);
        return v && state(*v) == AL_PLAYING;
    }

    void setListener(AudioVec pos, AudioVec front, AudioVec up) override {
        ALfloat p[3], o[6];
        toAl(pos, p);
        toAl(front, o);
        toAl(up, o + 3);
        alListenerfv(AL_POSITION, p);
        alListenerfv(AL_ORIENTATION, o);
    }

private:
    static constexpr int kMaxVoices = 128;
    struct Source {
        ALuint buffer = 0;
        bool positional = true;
        float gain = 1.0f;
        AudioVec pos;
    };
    struct Voice {
        ALuint id;
        AudioSource owner; // the source that last played on it; 0 when free
    };

    Source* find(AudioSource s) {
        return s >= 1 && s <= static_cast<int>(sources_.size()) ? &sources_[s - 1] : nullptr;
    }
    Voice* voiceOf(AudioSource s) {
        for (Voice& v : voices_)
            if (v.owner == s && s != 0)
                return &v;
        return nullptr;
    }
    static ALint state(const Voice& v) {
        ALint st = AL_STOPPED;
        alGetSourcei(v.id, AL_SOURCE_STATE, &st);
        return st;
    }
    Voice* freeVoice() {
        for (Voice& v : voices_)
            if (v.owner == 0)
                return &v;
        for (Voice& v : voices_)
            if (state(v) != AL_PLAYING)
                return &v;
        return nullptr;
    }

    ALCdevice* device_;
    ALCcontext* context_;
    std::vector<Voice> voices_;
    std::vector<ALuint> buffers_;
    std::vector<Source> sources_;
};

} // namespace

std::unique_ptr<AudioDevice> openAudioDevice(std::string& reason) {
    ALCdevice* device = alcOpenDevice(nullptr);
    if (!device) {
        reason = "no audio output could be opened";
        return nullptr;
    }
    ALCcontext* context = alcCreateContext(device, nullptr);
    if (!context || !alcMakeContextCurrent(context)) {
        if (context)
            alcDestroyContext(context);
        alcCloseDevice(device);
        reason = "the audio output refused a mixing context";
        return nullptr;
    }
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    auto out = std::make_unique<OpenAlDevice>(device, context);
    if (!out->hasVoices()) {
        reason = "the audio output gave no voices";
        return nullptr;
    }
    return out;
}

} // namespace kv
