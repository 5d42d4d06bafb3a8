#include "platform/media/MediaModule.h"

#include "platform/media/AudioPlayer.h"
#include "platform/media/NullAudioPlayer.h"
#include "platform/media/OutputMute.h"
#include "platform/media/SoundPlayer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <cstdio>

#include <dlfcn.h>

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

// Where the module can be: next to the program (the build), in lib/kolu
// beside its bin folder (an install), and in the build's own folder (test
// programs built elsewhere in the tree). Each is an absolute path: a bare name
// would be looked up along the run path of whatever calls dlopen, and under
// the address sanitizer that is the sanitizer's library, not the program.
QStringList candidates()
{
    const QString programFolder = QFileInfo(u"/proc/self/exe"_s).canonicalPath();
    QStringList paths;
    if (!programFolder.isEmpty()) {
        paths << programFolder + u'/' + QLatin1String(kFileName);
        paths << QDir::cleanPath(programFolder + u"/../lib/kolu/"_s + QLatin1String(kFileName));
    }
#ifdef KOLU_MEDIA_BUILD_DIR
    paths << QStringLiteral(KOLU_MEDIA_BUILD_DIR "/") + QLatin1String(kFileName);
#endif
    return paths;
}

// The library stays loaded until the process ends: objects it made may live
// as long.
const MediaBackend *load()
{
    void *handle = nullptr;
    QByteArray error;
    for (const QString &path : candidates()) {
        if (!QFileInfo::exists(path))
            continue;
        if ((handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL)))
            break;
        error = dlerror(); // the first one found says best why it failed
    }
    if (handle == nullptr && !(handle = dlopen(kFileName, RTLD_NOW | RTLD_LOCAL)) && error.isEmpty())
        error = dlerror();
    if (handle == nullptr) {
        std::fprintf(stderr, "Kolu: no sound, the media module could not be loaded: %s\n", error.constData());
        return nullptr;
    }
    auto *entry = reinterpret_cast<MediaBackendEntry *>(dlsym(handle, kMediaBackendEntry));
    const MediaBackend *backend = entry != nullptr ? entry() : nullptr;
    if (backend == nullptr || backend->version != MediaBackend::kVersion) {
        std::fprintf(stderr, "Kolu: no sound, %s is from another build\n", kFileName);
        return nullptr;
    }
    return backend;
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
