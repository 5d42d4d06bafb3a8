#include "services/media/AlertSoundSynthesis.h"

#include "../ServiceTests.h"

#include <QtEndian>

using namespace kolu;

namespace {

TEST(AlertSoundSynthesis, EveryKindHasItsLengthPeakSilencesAndFingerprint)
{
    // Figures from a separate implementation of the recipes in double
    // precision: samples, largest magnitude, sum of all samples, and the
    // first and last sample that is not 0.
    const std::tuple<QString, int, int, qint64, int, int> expectations[] = {
        {u"calendar"_s, 59535, 16237, 287662, 1, 59534}, {u"chime"_s, 59535, 14614, 279195, 1, 59534},
        {u"digital"_s, 59535, 7208, -68782, 1, 22931},   {u"soft"_s, 79380, 8115, -37, 4, 79367},
        {u"birds"_s, 97020, 15071, 39, 3530, 82907},     {u"ocean"_s, 132300, 8252, -463102, 16, 132288},
    };
    for (const auto &[kind, count, peak, sum, first, last] : expectations) {
        const QByteArray wav = makeWAVData(kind);
        ASSERT_EQ(wav.size(), wavHeaderSize + 2 * count) << kind.toStdString();
        EXPECT_EQ(alertSampleCount(kind), count);
        std::tuple<int, qint64, int, int> found{0, 0, -1, -1};
        auto &[foundPeak, foundSum, foundFirst, foundLast] = found;
        for (int i = 0; i < count; ++i) {
            const int value = qFromLittleEndian<qint16>(wav.constData() + wavHeaderSize + 2 * i);
            foundPeak = std::max(foundPeak, std::abs(value));
            foundSum += value;
            if (value != 0) {
                foundFirst = foundFirst < 0 ? i : foundFirst;
                foundLast = i;
            }
        }
        EXPECT_EQ(found, std::tuple(peak, sum, first, last)) << kind.toStdString();
    }
    EXPECT_EQ(makeWAVData(u"thunder"), makeWAVData(u"ocean")) << "an unknown kind";
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
    const std::pair<double, qint16> cases[] = {{1.0, 32767}, {7.5, 32767},   {-1.0, -32767}, {-3.0, -32767},
                                               {0.5, 16383}, {-0.5, -16383}, {0.00001, 0}};
    for (const auto &[value, expected] : cases)
        EXPECT_EQ(quantiseSample(value), expected) << value;
}

} // namespace
