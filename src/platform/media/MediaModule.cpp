#include "platform/media/MediaModule.h"

#include "platform/media/AudioPlayer.h"
#include "platform/media/NullAudioPlayer.h"
#include "platform/media/OutputMute.h"
#include "platform/media/SoundPlayer.h"
#include "platform/system/LoadableModule.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr char kFileName[] = "libkolu-media.so";

struct Loaded {
    const MediaBackend *backend = nullptr;
    bool tried = false;
};

Loaded &loaded()
{
    static Loaded state;
    return state;
}

const MediaBackend *load()
{
    return loadModule<MediaBackend>(kFileName, kMediaBackendEntry, "no sound");
}

class DeferredSoundPlayer final : public SoundPlayer {
public:
    DeferredSoundPlayer(Clock &clock, std::function<void()> beep)
        : m_clock(clock)
        , m_beep(std::move(beep))
    {
    }

    void play(const QString &path, float volume) override
    {
        if (!m_real) {
            if (const MediaBackend *media = MediaModule::backend())
                m_real = media->makeSoundPlayer(m_clock, m_beep);
        }
        if (m_real)
            m_real->play(path, volume);
        else
            beep();
    }

    void beep() override
    {
        if (m_beep)
            m_beep();
    }

private:
    Clock &m_clock;
    std::function<void()> m_beep;
    std::unique_ptr<SoundPlayer> m_real;
};

class DeferredAudioPlayers final : public AudioPlayerFactory {
public:
    std::unique_ptr<AudioPlayer> create(const QUrl &source, bool loops) override
    {
        if (!m_real) {
            if (const MediaBackend *media = MediaModule::backend())
                m_real = media->makeAudioPlayers();
        }
        if (m_real)
            return m_real->create(source, loops);
        return std::make_unique<NullAudioPlayer>();
    }

private:
    std::unique_ptr<AudioPlayerFactory> m_real;
};

class DeferredOutputMute final : public OutputMute {
public:
    explicit DeferredOutputMute(std::unique_ptr<OutputMute> fallback)
        : m_fallback(std::move(fallback))
    {
    }

    QCoro::Task<bool> isMuted() override { return target().isMuted(); }
    QCoro::Task<> toggle() override { return target().toggle(); }

private:
    OutputMute &target()
    {
        if (!m_real && m_fallback) {
            if (const MediaBackend *media = MediaModule::backend())
                m_real = media->makeOutputMute(std::move(m_fallback));
        }
        return m_real ? *m_real : *m_fallback;
    }

    std::unique_ptr<OutputMute> m_fallback;
    std::unique_ptr<OutputMute> m_real;
};

} // namespace

const MediaBackend *MediaModule::backend()
{
    Loaded &state = loaded();
    if (!state.tried) {
        state.tried = true;
        state.backend = load();
    }
    return state.backend;
}

bool MediaModule::isLoaded()
{
    return loaded().backend != nullptr;
}

QString MediaModule::fileName()
{
    return QString::fromLatin1(kFileName);
}

std::unique_ptr<SoundPlayer> MediaModule::makeSoundPlayer(Clock &clock, std::function<void()> beep)
{
    return std::make_unique<DeferredSoundPlayer>(clock, std::move(beep));
}

std::unique_ptr<AudioPlayerFactory> MediaModule::makeAudioPlayers()
{
    return std::make_unique<DeferredAudioPlayers>();
}

std::unique_ptr<OutputMute> MediaModule::makeOutputMute(std::unique_ptr<OutputMute> fallback)
{
    return std::make_unique<DeferredOutputMute>(std::move(fallback));
}

} // namespace kolu
