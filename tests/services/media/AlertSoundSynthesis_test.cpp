#include "services/media/AlertSoundSynthesis.h"

#include "../ServiceTests.h"

#include <QtEndian>

using namespace kolu;

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
    // RIFF size; fmt: PCM, mono, 44100 Hz, 88200 bytes a second, 2-byte frames, 16 bits; data size.
    EXPECT_EQ(makeWAVData(u"ocean").left(wavHeaderSize).toHex(' '),
              "52 49 46 46 bc 09 04 00 57 41 56 45 66 6d 74 20 10 00 00 00 01 00 01 00 "
              "44 ac 00 00 88 58 01 00 02 00 10 00 64 61 74 61 98 09 04 00");
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
