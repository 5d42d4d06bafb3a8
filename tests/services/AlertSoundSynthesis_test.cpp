#include "services/AlertSoundSynthesis.h"

#include <gtest/gtest.h>

#include <QtEndian>

#include <cstdlib>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

qint16 sampleAt(const QByteArray &wav, int index)
{
    return qFromLittleEndian<qint16>(wav.constData() + wavHeaderSize + 2 * index);
}

int sampleCount(const QByteArray &wav)
{
    return static_cast<int>((wav.size() - wavHeaderSize) / 2);
}

struct Expected {
    QString kind;
    int count;
    int peak;          // largest magnitude
    qint64 sum;        // of all samples: a fingerprint from an independent reckoning
    int firstSound;    // index of the first sample that is not 0
    int lastSound;     // index of the last sample that is not 0
};

// Figures from a separate implementation of the recipes in double precision.
const Expected expectations[] = {
    {u"calendar"_s, 59535, 16237, 287662, 1, 59534},
    {u"chime"_s, 59535, 14614, 279195, 1, 59534},
    {u"digital"_s, 59535, 7208, -68782, 1, 22931},
    {u"soft"_s, 79380, 8115, -37, 4, 79367},
    {u"birds"_s, 97020, 15071, 39, 3530, 82907},
    {u"ocean"_s, 132300, 8252, -463102, 16, 132288},
};

TEST(AlertSoundSynthesis, EveryKindHasItsLengthPeakSilencesAndFingerprint)
{
    for (const Expected &expected : expectations) {
        SCOPED_TRACE(expected.kind.toStdString());
        const QByteArray wav = makeWAVData(expected.kind);
        ASSERT_EQ(wav.size(), 44 + 2 * expected.count);
        ASSERT_EQ(sampleCount(wav), expected.count);
        EXPECT_EQ(alertSampleCount(expected.kind), expected.count);
        EXPECT_EQ(sampleAt(wav, 0), 0) << "every term starts at a zero phase or envelope";
        int peak = 0;
        qint64 sum = 0;
        int first = -1;
        int last = -1;
        for (int i = 0; i < expected.count; ++i) {
            const int value = sampleAt(wav, i);
            peak = std::max(peak, std::abs(value));
            sum += value;
            if (value != 0) {
                if (first < 0)
                    first = i;
                last = i;
            }
        }
        EXPECT_EQ(peak, expected.peak);
        EXPECT_EQ(sum, expected.sum);
        EXPECT_EQ(first, expected.firstSound);
        EXPECT_EQ(last, expected.lastSound);
    }
}

TEST(AlertSoundSynthesis, TheHeaderIsCanonicalPcm)
{
    const QByteArray wav = makeWAVData(u"ocean");
    const quint32 dataSize = 2U * 132300U;
    EXPECT_EQ(wav.left(4), "RIFF");
    EXPECT_EQ(qFromLittleEndian<quint32>(wav.constData() + 4), static_cast<quint32>(wav.size() - 8));
    EXPECT_EQ(wav.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(qFromLittleEndian<quint32>(wav.constData() + 16), 16U);
    EXPECT_EQ(qFromLittleEndian<quint16>(wav.constData() + 20), 1U);
    EXPECT_EQ(qFromLittleEndian<quint16>(wav.constData() + 22), 1U);
    EXPECT_EQ(qFromLittleEndian<quint32>(wav.constData() + 24), 44100U);
    EXPECT_EQ(qFromLittleEndian<quint32>(wav.constData() + 28), 88200U);
    EXPECT_EQ(qFromLittleEndian<quint16>(wav.constData() + 32), 2U);
    EXPECT_EQ(qFromLittleEndian<quint16>(wav.constData() + 34), 16U);
    EXPECT_EQ(wav.mid(36, 4), "data");
    EXPECT_EQ(qFromLittleEndian<quint32>(wav.constData() + 40), dataSize);
}

TEST(AlertSoundSynthesis, DigitalAndBirdsAreSilentOutsideTheirBeepsAndChirps)
{
    const QByteArray digital = makeWAVData(u"digital");
    // 0.52 s is sample 22932; the file ends at 1.35 s.
    for (int i = 22932; i < sampleCount(digital); ++i)
        ASSERT_EQ(sampleAt(digital, i), 0) << i;
    // Between the beeps (0.12 ... 0.18 s) there is nothing either.
    for (int i = 5293; i < 7938; ++i)
        ASSERT_EQ(sampleAt(digital, i), 0) << i;
    // At full envelope a beep is a square wave at its amplitude.
    EXPECT_EQ(std::abs(sampleAt(digital, 2000)), 7208);
    EXPECT_DOUBLE_EQ(digitalSample(0.6), 0.0);

    const QByteArray birds = makeWAVData(u"birds");
    for (int i = 0; i <= 3528; ++i)
        ASSERT_EQ(sampleAt(birds, i), 0) << i;
    for (int i = 82908; i < sampleCount(birds); ++i)
        ASSERT_EQ(sampleAt(birds, i), 0) << i;
    EXPECT_DOUBLE_EQ(birdSample(0.05), 0.0);
    EXPECT_DOUBLE_EQ(birdSample(2.0), 0.0);
}

TEST(AlertSoundSynthesis, QuantisingClampsAndTruncatesTowardZero)
{
    EXPECT_EQ(quantiseSample(1.0), 32767);
    EXPECT_EQ(quantiseSample(7.5), 32767);
    EXPECT_EQ(quantiseSample(-1.0), -32767);
    EXPECT_EQ(quantiseSample(-3.0), -32767);
    EXPECT_EQ(quantiseSample(0.5), 16383);
    EXPECT_EQ(quantiseSample(-0.5), -16383);
    EXPECT_EQ(quantiseSample(0.00001), 0);
}

TEST(AlertSoundSynthesis, AnUnknownKindIsTheOceanAtItsVolume)
{
    EXPECT_EQ(makeWAVData(u"thunder"), makeWAVData(u"ocean"));
    EXPECT_FLOAT_EQ(alertSoundVolume(u"thunder"), 0.62F);
    EXPECT_FLOAT_EQ(alertSoundVolume(u"birds"), 0.54F);
    EXPECT_FLOAT_EQ(alertSoundVolume(u"calendar"), 0.52F);
    EXPECT_FLOAT_EQ(alertSoundVolume(u"digital"), 0.62F);
}

} // namespace
