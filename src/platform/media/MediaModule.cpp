#include "platform/media/MediaModule.h"

#include "platform/media/AudioPlayer.h"
#include "platform/media/NullAudioPlayer.h"
#include "platform/media/OutputMute.h"
#include "platform/media/SoundPlayer.h"
#include "platform/system/LoadableModule.h"

#include <QFutureWatcher>
#include <QUrl>
#include <QtConcurrent/QtConcurrentRun>

#include <atomic>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr char kFileName[] = "libkolu-media.so";

// Set once the module is loaded; read from any thread.
std::atomic<const MediaBackend *> loadedBackend{nullptr};

const MediaBackend *load()
{
    return loadModule<MediaBackend>(kFileName, kMediaBackendEntry, "no sound");
}

class DeferredSoundPlayer final : public SoundPlayer {
public:
    DeferredSoundPlayer(Clock &clock, std::function<void()> beep, std::function<const MediaBackend *()> prepare)
        : m_clock(clock)
        , m_beep(std::move(beep))
        , m_prepare(std::move(prepare))
    {
    }

    void play(const QString &path, float volume) override
    {
        if (m_ready) {
            playNow(path, volume);
            return;
        }
        m_waiting.emplace_back(path, volume);
        if (m_preparation)
            return;
        // Loading the module and starting its sound library can take
        // seconds (a fresh home builds the library's plugin cache): the
        // event loop must go on meanwhile, or the alert that asked for the
        // sound shows late and takes the input queued behind it. Deleting
        // the watcher with this player drops the answer.
        m_preparation = std::make_unique<QFutureWatcher<const MediaBackend *>>();
        QObject::connect(m_preparation.get(), &QFutureWatcherBase::finished, m_preparation.get(),
                         [this] { prepared(m_preparation->result()); });
        m_preparation->setFuture(QtConcurrent::run(m_prepare));
    }

    void beep() override
    {
        if (m_beep)
            m_beep();
    }

private:
    void prepared(const MediaBackend *media)
    {
        m_ready = true;
        if (media)
            m_real = media->makeSoundPlayer(m_clock, m_beep);
        for (const auto &[path, volume] : std::exchange(m_waiting, {}))
            playNow(path, volume);
    }

    void playNow(const QString &path, float volume)
    {
        if (m_real)
            m_real->play(path, volume);
        else
            beep();
    }

    Clock &m_clock;
    std::function<void()> m_beep;
    std::function<const MediaBackend *()> m_prepare;
    std::unique_ptr<QFutureWatcher<const MediaBackend *>> m_preparation;
    std::vector<std::pair<QString, float>> m_waiting;
    bool m_ready = false;
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
    // Tried once; a caller on another thread meanwhile waits for that try.
    static const MediaBackend *const tried = [] {
        const MediaBackend *media = load();
        loadedBackend = media;
        return media;
    }();
    return tried;
}

bool MediaModule::isLoaded()
{
    return loadedBackend.load() != nullptr;
}

const MediaBackend *MediaModule::prepareSounds()
{
    const MediaBackend *media = backend();
    if (media)
        media->prepareSounds();
    return media;
}

QString MediaModule::fileName()
{
    return QString::fromLatin1(kFileName);
}

std::unique_ptr<SoundPlayer> MediaModule::makeSoundPlayer(Clock &clock, std::function<void()> beep,
                                                          std::function<const MediaBackend *()> prepare)
{
    return std::make_unique<DeferredSoundPlayer>(clock, std::move(beep), std::move(prepare));
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
