#include "services/media/AlertSoundSynthesis.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

constexpr double twoPi = 2.0 * std::numbers::pi;

struct BellTone {
    double onset;
    double frequency;
    double amplitude;
};

constexpr std::array<BellTone, 3> calendarTones{{{0.0, 660.0, 0.38}, {0.22, 880.0, 0.3}, {0.48, 990.0, 0.22}}};
constexpr std::array<BellTone, 3> chimeTones{{{0.0, 523.25, 0.28}, {0.18, 783.99, 0.3}, {0.38, 1046.5, 0.2}}};

struct Beep {
    double onset;
    double length;
    double frequency;
    double amplitude;
};

constexpr std::array<Beep, 3> digitalBeeps{
    {{0.0, 0.12, 880.0, 0.22}, {0.18, 0.12, 1174.66, 0.2}, {0.36, 0.16, 1567.98, 0.18}}};

struct Chirp {
    double onset;
    double length;
    double startFrequency;
    double sweep; // Hz per second; the frequency rises by 2 * sweep * length
    double amplitude;
};

constexpr std::array<Chirp, 5> birdChirps{{{0.08, 0.24, 1320.0, 2562.5, 0.46},
                                           {0.38, 0.18, 1760.0, 3583.3333333333335, 0.38},
                                           {0.82, 0.28, 1220.0, 2732.142857142857, 0.42},
                                           {1.2, 0.22, 1580.0, 3909.090909090909, 0.34},
                                           {1.58, 0.3, 1280.0, 2733.3333333333335, 0.38}}};

double bellSample(const std::array<BellTone, 3> &tones, double t)
{
    double value = 0.0;
    for (const BellTone &tone : tones) {
        if (t < tone.onset)
            continue;
        const double tau = t - tone.onset;
        value += tone.amplitude * std::exp(-4.3 * tau)
                 * (std::sin(twoPi * tone.frequency * tau) + 0.2 * std::sin(twoPi * 2.02 * tone.frequency * tau));
    }
    return value;
}

// min(x, 1), and 0 where x is negative: the release ramps.
double release(double x)
{
    return x < 0.0 ? 0.0 : std::min(x, 1.0);
}

double softSample(double t)
{
    const double attack = std::min(t / 0.18, 1.0);
    const double fade = release((1.8 - t) / 0.85);
    return attack * fade * (0.18 * std::sin(twoPi * 392.0 * t) + 0.08 * std::sin(twoPi * 588.0 * t));
}

double oceanSample(double t, int index, double length)
{
    const double envelope = std::min(t / 0.9, 1.0) * release((length - t) / 0.8);
    const double swell = 0.55 + 0.45 * std::sin(twoPi * 0.42 * t);
    const double tone =
        0.12 * std::sin(twoPi * 96.0 * t) + 0.08 * std::sin(twoPi * 164.0 * t + 0.4 * std::sin(2.3 * t));
    const double x = std::sin(12.9898 * index) * 43758.5453;
    const double phase = x - std::floor(x);
    const double noise = 0.1 * (2.0 * phase - 1.0);
    return envelope * swell * (tone + noise);
}

void putTag(char *at, const char (&tag)[5])
{
    std::copy_n(tag, 4, at);
}

} // namespace

double alertSoundLength(QStringView kind)
{
    if (kind == u"calendar"_s || kind == u"chime"_s || kind == u"digital"_s)
        return 1.35;
    if (kind == u"soft"_s)
        return 1.8;
    if (kind == u"birds"_s)
        return 2.2;
    return 3.0;
}

int alertSampleCount(QStringView kind)
{
    return static_cast<int>(alertSoundLength(kind) * alertSampleRate);
}

float alertSoundVolume(QStringView kind)
{
    if (kind == u"birds"_s)
        return 0.54F;
    if (kind == u"calendar"_s)
        return 0.52F;
    return 0.62F;
}

double digitalSample(double t)
{
    double value = 0.0;
    for (const Beep &beep : digitalBeeps) {
        const double tau = t - beep.onset;
        if (tau < 0.0 || tau > beep.length)
            continue;
        const double level = std::sin(twoPi * beep.frequency * tau) >= 0.0 ? beep.amplitude : -beep.amplitude;
        value += level * std::min(tau / 0.018, 1.0) * std::min((beep.length - tau) / 0.035, 1.0);
    }
    return value;
}

double birdSample(double t)
{
    double value = 0.0;
    for (const Chirp &chirp : birdChirps) {
        const double tau = t - chirp.onset;
        if (tau < 0.0 || tau > chirp.length)
            continue;
        value += chirp.amplitude * std::sin(std::numbers::pi * tau / chirp.length)
                 * std::sin(twoPi * (chirp.startFrequency * tau + chirp.sweep * tau * tau));
    }
    return value;
}

double alertSample(QStringView kind, double t, int index)
{
    if (kind == u"calendar"_s)
        return bellSample(calendarTones, t);
    if (kind == u"chime"_s)
        return bellSample(chimeTones, t);
    if (kind == u"digital"_s)
        return digitalSample(t);
    if (kind == u"soft"_s)
        return softSample(t);
    if (kind == u"birds"_s)
        return birdSample(t);
    return oceanSample(t, index, alertSoundLength(kind));
}

qint16 quantiseSample(double value)
{
    const double scaled = value >= 1.0 ? 32767.0 : std::max(value, -1.0) * 32767.0;
    return static_cast<qint16>(std::trunc(scaled));
}

QByteArray makeWAVData(QStringView kind)
{
    const int count = alertSampleCount(kind);
    const quint32 dataSize = static_cast<quint32>(count) * 2U;
    QByteArray bytes(wavHeaderSize + static_cast<qsizetype>(dataSize), Qt::Uninitialized);
    char *header = bytes.data();
    putTag(header, "RIFF");
    qToLittleEndian<quint32>(36U + dataSize, header + 4);
    putTag(header + 8, "WAVE");
    putTag(header + 12, "fmt ");
    qToLittleEndian<quint32>(16U, header + 16);
    qToLittleEndian<quint16>(1U, header + 20); // PCM
    qToLittleEndian<quint16>(1U, header + 22); // mono
    qToLittleEndian<quint32>(alertSampleRate, header + 24);
    qToLittleEndian<quint32>(alertSampleRate * 2U, header + 28);
    qToLittleEndian<quint16>(2U, header + 32);
    qToLittleEndian<quint16>(16U, header + 34);
    putTag(header + 36, "data");
    qToLittleEndian<quint32>(dataSize, header + 40);

    char *samples = header + wavHeaderSize;
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / alertSampleRate;
        qToLittleEndian<qint16>(quantiseSample(alertSample(kind, t, i)), samples + 2 * static_cast<qsizetype>(i));
    }
    return bytes;
}

} // namespace kolu
