#include "services/clipboard/ClipboardRules.h"

#include "model/PersistedFiles.h"

#include "../ServiceTests.h"

#include <QLocale>

using namespace kolu;
using namespace kolu::clipboard;

namespace {

TEST(ClipboardRules, TitlesNeverCutACharacterApartBinaryTextIsJudgedWholeAndKeptTextFitsItsByteBound)
{
    const QString emoji = u"\U0001F600"_s; // two UTF-16 units
    QString line;
    for (int i = 0; i < 100; ++i)
        line += emoji;
    EXPECT_EQ(textTitle(line).size(), 160);

    // Characters piled high with combining marks still give a short title.
    QString piled;
    for (int i = 0; i < 10; ++i)
        piled += QString(u'a' + QString(100, QChar(0x0301)));
    EXPECT_EQ(textTitle(piled), piled.first(303)); // three whole characters
    EXPECT_EQ(textTitle(QString(u'a' + QString(1000, QChar(0x0301)))).size(), kMaxTitleUnits);

    const QString longText = QString(QString(kMaxKeptTextLength - 1, u'a') + emoji);
    EXPECT_EQ(keptText(longText).size(), kMaxKeptTextLength - 1);

    // An address or a path used as a title is cut too, never inside a pair.
    EXPECT_EQ(cappedTitle(QString(QString(kMaxTitleUnits - 1, u'e') + emoji)).size(), kMaxTitleUnits - 1);
    // Nor inside a flag, whose halves are characters of two units each.
    const QString flag = u"\U0001F1F8\U0001F1E6"_s;
    EXPECT_EQ(cappedTitle(QString(QString(kMaxTitleUnits - 2, u'e') + flag)).size(), kMaxTitleUnits - 2);
    EXPECT_EQ(keptText(QString(QString(kMaxKeptTextLength - 2, u'a') + flag)).size(), kMaxKeptTextLength - 2);

    // A harmless start does not hide a control-character tail.
    const QString tail = QString(QString(4096, u'a') + QString(200'000, QChar(0x01)));
    EXPECT_TRUE(looksBinary(tail));
    EXPECT_FALSE(looksBinary(QString(QString(9000, u'a') + QString(900, QChar(0x01)))));

    // Characters of three bytes each: the unit bound alone would keep 600,000 bytes.
    const QString wide(kMaxKeptTextLength, QChar(0x4E2D));
    const QStringView kept = keptText(wide);
    EXPECT_LE(storedBytes(kept), kMaxKeptTextBytes + 2);
    EXPECT_GT(storedBytes(kept), kMaxKeptTextBytes - 8);

    // The bound counts what the file holds: escapes, quotes and pairs.
    EXPECT_EQ(storedBytes(u"a\"\\"), 2 + 1 + 2 + 2);
    EXPECT_EQ(storedBytes(QString(QChar(0x01))), 2 + 6);
    EXPECT_EQ(storedBytes(u"\U0001F600"_s), 2 + 4);

    // Never less than the history file really takes, whatever the text holds.
    QString mixed;
    for (char16_t c : {u'a', u'"', u'\\', u'\n', char16_t(0x01), char16_t(0x7f), char16_t(0xE9), char16_t(0x4E2D),
                       char16_t(0xD83D), char16_t(0xDE00), char16_t(0xD800), u'b', char16_t(0xDC00)})
        mixed += QChar(c);
    mixed = mixed.repeated(500);
    const ClipboardItem item{
        QUuid::createUuid(), ClipboardItemKind::file, mixed, mixed, QDateTime::currentDateTimeUtc(), mixed, mixed};
    EXPECT_GE(storedBytes(item), ClipboardItemsFile::encode({item}).size());
}

TEST(ClipboardRules, AddressesAreNormalisedUriListsGiveTheFirstCleanFileAndFileNamesAsciiDigits)
{
    const std::vector<std::pair<QByteArray, std::optional<QString>>> cases{
        {"# comment\r\nhttps://kolu.test\r\nfile:///tmp/a%20b.txt\r\n", u"/tmp/a b.txt"_s},
        {"cut\nfile:///tmp/x", u"/tmp/x"_s},
        {"not a list at all \x01\x02", std::nullopt},
        {"file:///../../etc/shadow", u"/etc/shadow"_s},
        {"file:///home/u/./a/../b.txt", u"/home/u/b.txt"_s},
        {"file:///home/u/folder/", u"/home/u/folder"_s},
        {"file:relative/name.txt", std::nullopt},
    };
    for (const auto &[list, path] : cases)
        EXPECT_EQ(firstLocalFile(list), path) << list.toStdString();
    EXPECT_EQ(firstURL("\n\nhttps://kolu.test/a\n"), QUrl(u"https://kolu.test/a"_s));

    EXPECT_EQ(normalizedURL(std::nullopt), std::nullopt);
    EXPECT_EQ(normalizedURL(QUrl(u"HTTPS://kolu.test/x"_s)), QUrl(u"HTTPS://kolu.test/x"_s));
    EXPECT_EQ(normalizedURL(QUrl(u"kolu.test/x"_s)), QUrl(u"https://kolu.test/x"_s));
    EXPECT_EQ(normalizedURL(QUrl(u"javascript:alert(1)"_s)), std::nullopt);
    EXPECT_EQ(wholeTextURL(u"kolu.test\u2028more"), std::nullopt);
    EXPECT_EQ(wholeTextURL(u"a\u00a0b"), std::nullopt);

    // File names use ASCII digits and the Gregorian calendar whatever the locale.
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::SaudiArabia));
    const QDateTime moment(QDate(2026, 3, 4), QTime(7, 5, 9, 45), Qt::LocalTime);
    EXPECT_EQ(captureFileName(u"clipboard-"_s, moment, u"png"_s), u"clipboard-20260304-070509-045.png"_s);
    QLocale::setDefault(QLocale(QLocale::Persian, QLocale::Iran));
    EXPECT_EQ(captureFileName(u"screenshot-"_s, moment, u"JPG"_s), u"screenshot-20260304-070509-045.JPG"_s);
    QLocale::setDefault(saved);
}

} // namespace
