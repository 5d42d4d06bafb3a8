#pragma once

#include <QByteArray>
#include <QStringView>

namespace kolu {

// The six alert sounds are made in code as 16-bit mono PCM WAV at 44100 Hz.
// A kind names both a recipe and a file: "calendar", "chime", "digital",
// "soft", "birds" and "ocean"; any other name gets the "ocean" recipe.
inline constexpr int alertSampleRate = 44100;
inline constexpr int wavHeaderSize = 44;

// Length of a kind's sound in seconds.
double alertSoundLength(QStringView kind);
// Number of samples of a kind: its length times the sample rate, truncated.
int alertSampleCount(QStringView kind);
// The volume a kind plays at.
float alertSoundVolume(QStringView kind);

// One sample value (nominally -1 ... 1) of the "digital" and "birds" recipes
// at `t` seconds.
double digitalSample(double t);
double birdSample(double t);
// One sample value of any kind; `index` is the sample's number, which the
// "ocean" noise is seeded from.
double alertSample(QStringView kind, double t, int index);

// A signed 16-bit sample from a value: 1 and above is full scale, -1 is the
// lower bound, and the rest is truncated toward zero.
qint16 quantiseSample(double value);

// The complete WAV file of a kind: the 44-byte RIFF header, then the samples.
QByteArray makeWAVData(QStringView kind);

} // namespace kolu
