#include "services/media/AlertSoundSynthesis.h"

#include <gtest/gtest.h>

#include <QtEndian>

#include <cstdlib>
#include <utility>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

qint16 sampleAt(const QByteArray &wav, int index)
{
    return qFromLittleEndian<qint16>(wav.constData() + wavHeaderSize + 2 * index);
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
    EXPECT_EQ(wav.left(4), "RIFF");
    EXPECT_EQ(wav.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(wav.mid(36, 4), "data");
    // Offset, width (2 or 4 bytes), value.
    const struct { int offset, width; quint32 value; } fields[] = {
        {4, 4, static_cast<quint32>(wav.size() - 8)}, {16, 4, 16}, {20, 2, 1}, {22, 2, 1}, {24, 4, 44100},
        {28, 4, 88200}, {32, 2, 2}, {34, 2, 16}, {40, 4, 2U * 132300U},
    };
    for (const auto &field : fields) {
        const char *at = wav.constData() + field.offset;
        EXPECT_EQ(field.width == 4 ? qFromLittleEndian<quint32>(at) : qFromLittleEndian<quint16>(at), field.value)
            << field.offset;
    }
}

TEST(AlertSoundSynthesis, DigitalIsSilentBetweenItsBeepsAndASquareWaveWithin)
{
    const QByteArray digital = makeWAVData(u"digital");
    // Between the beeps (0.12 ... 0.18 s) there is nothing.
    for (int i = 5293; i < 7938; ++i)
        ASSERT_EQ(sampleAt(digital, i), 0) << i;
    EXPECT_EQ(std::abs(sampleAt(digital, 2000)), 7208);
}

TEST(AlertSoundSynthesis, QuantisingClampsAndTruncatesTowardZero)
{
    const std::pair<double, qint16> cases[] = {{1.0, 32767},   {7.5, 32767},    {-1.0, -32767}, {-3.0, -32767},
                                               {0.5, 16383},   {-0.5, -16383},  {0.00001, 0}};
    for (const auto &[value, expected] : cases)
        EXPECT_EQ(quantiseSample(value), expected) << value;
}

TEST(AlertSoundSynthesis, AnUnknownKindIsTheOceanAtItsVolume)
{
    EXPECT_EQ(makeWAVData(u"thunder"), makeWAVData(u"ocean"));
    EXPECT_FLOAT_EQ(alertSoundVolume(u"thunder"), alertSoundVolume(u"ocean"));
}

} // namespace
