#include "model/JsonCoding.h"

#include <gtest/gtest.h>

using namespace kolu;
using namespace Qt::StringLiterals;

TEST(JsonDates, WrittenInUtcWholeSecondsAndReadOnlyAsRfc3339)
{
    const QDateTime moment = QDateTime(QDate(2026, 12, 6), QTime(18, 30, 15, 987), Qt::UTC);
    EXPECT_EQ(json::encodeDate(moment.toOffsetFromUtc(3600)), u"2026-12-06T18:30:15Z"_s);
    EXPECT_EQ(json::encodeDate(QDateTime(QDate(7, 1, 2), QTime(3, 4, 5), Qt::UTC)), u"0007-01-02T03:04:05Z"_s);

    const QDateTime expected(QDate(2026, 12, 6), QTime(18, 30, 15), Qt::UTC);
    EXPECT_EQ(json::decodeDate(u"2026-12-06T18:30:15.999Z"), expected);
    EXPECT_EQ(json::decodeDate(u"2026-12-06T17:00:15-01:30"), expected);
    EXPECT_EQ(json::decodeDateWithMilliseconds(u"2026-12-06T20:30:15.2+02:00"), expected.addMSecs(200));

    for (const QString &bad :
         {u""_s, u"2026-12-06"_s, u"2026-12-06 18:30:15Z"_s, u"2026-12-06T18:30:15"_s, u"2026-13-06T18:30:15Z"_s,
          u"2026-02-30T18:30:15Z"_s, u"2026-12-06T24:00:00Z"_s, u"2026-12-06T18:60:00Z"_s, u"2026-12-06T18:30:60Z"_s,
          u"0000-01-01T00:00:00Z"_s, u"9999-12-31T23:59:59-01:00"_s, u"２０２６-12-06T18:30:15Z"_s, u"1700000000"_s}) {
        EXPECT_FALSE(json::decodeDate(bad)) << bad.toStdString();
    }
}

TEST(JsonUuids, UpperCaseCanonicalForm)
{
    const QUuid uuid = QUuid::fromString(u"6f1c2a3b-4d5e-4f60-8a7b-9c0d1e2f3a4b");
    EXPECT_EQ(json::encodeUuid(uuid), u"6F1C2A3B-4D5E-4F60-8A7B-9C0D1E2F3A4B"_s);
    EXPECT_EQ(json::decodeUuid(u"6f1c2a3b-4d5e-4f60-8a7b-9c0d1e2f3a4b"), uuid);
    for (const char16_t *bad : {u"{6f1c2a3b-4d5e-4f60-8a7b-9c0d1e2f3a4b}", u"6f1c2a3b4d5e4f608a7b9c0d1e2f3a4b",
                                u"6f1c2a3b-4d5e-4f60-8a7b-9c0d1e2f3a4g", u""})
        EXPECT_FALSE(json::decodeUuid(QStringView(bad)));
}

TEST(JsonDocuments, ParseRejectsWhatIsNotOneDocument)
{
    EXPECT_TRUE(json::parseDocument("{\"a\": 1}"));
    for (const QByteArray &bad :
         {QByteArray(""), QByteArray("[1, 2"), QByteArray("{} trailing"), QByteArray("\xff\xfe")})
        EXPECT_FALSE(json::parseDocument(bad)) << bad.toStdString();
}

TEST(ObjectReader, RequiredFieldsMustHaveTheirType)
{
    const QJsonObject object{{u"s"_s, u"text"_s},        {u"b"_s, true},   {u"i"_s, 42},           {u"f"_s, 1.5},
                             {u"n"_s, QJsonValue::Null}, {u"big"_s, 1e12}, {u"a"_s, QJsonArray{1}}};
    {
        json::ObjectReader r(object);
        EXPECT_EQ(r.integer("i"_L1), 42);
        EXPECT_EQ(r.number("i"_L1), 42);
        EXPECT_FALSE(r.optionalString("n"_L1) || r.optionalString("missing"_L1));
        EXPECT_TRUE(r.ok());
    }
    const auto failsOn = [&](auto read) {
        json::ObjectReader r(object);
        read(r);
        return !r.ok();
    };
    EXPECT_TRUE(failsOn([](auto &r) { r.string("missing"_L1); }));
    EXPECT_TRUE(failsOn([](auto &r) { r.string("b"_L1); }));
    EXPECT_TRUE(failsOn([](auto &r) { r.boolean("i"_L1); }));
    EXPECT_TRUE(failsOn([](auto &r) { r.integer("f"_L1); }));   // a fraction is no Int
    EXPECT_TRUE(failsOn([](auto &r) { r.integer("big"_L1); })); // out of range
    EXPECT_TRUE(failsOn([](auto &r) { r.string("n"_L1); }));    // null is not a required value
    EXPECT_TRUE(failsOn([](auto &r) { r.optionalString("i"_L1); }));
    EXPECT_TRUE(failsOn([](auto &r) { r.date("s"_L1); }));
    EXPECT_TRUE(failsOn([](auto &r) { r.uuid("s"_L1); }));
    EXPECT_FALSE(json::ObjectReader(QJsonValue(QJsonArray{})).ok());
}
