#include "cards/links/BrandIconLibrary.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace kolu {
namespace {

SavedLink link(const QString &url)
{
    return SavedLink{QUuid::createUuid(), {}, url, {}, true};
}

// A small alias table and an empty current folder to look for icons in; the
// shipped table and the current folder come back however the test ends.
class BrandIconLibraryTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString previous = QDir::currentPath();

    void SetUp() override
    {
        ASSERT_TRUE(QDir::setCurrent(folder.path()));
        BrandIconLibrary::setAliases(
            {{u"example.com"_s, u"example"_s}, {u"example.org"_s, u"example"_s}, {u"video.test"_s, u"video"_s}});
    }
    void TearDown() override
    {
        BrandIconLibrary::setAliases({});
        QDir::setCurrent(previous);
    }
    void write(const QString &relative, const QByteArray &content)
    {
        ASSERT_TRUE(test::writeFile(folder.filePath(relative), content));
    }
};

const QByteArray kSquare = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 24 12">)"
                           R"(<rect width="24" height="12" fill="#ff0000"/></svg>)";

TEST(BrandIconLibraryShipped, HasNoAliasesSoEveryTileShowsItsMonogram)
{
    EXPECT_TRUE(BrandIconLibrary::aliases().empty());
    EXPECT_FALSE(BrandIconLibrary::slug(link(u"https://www.example.com"_s)));
    EXPECT_TRUE(BrandIconLibrary::image(link(u"https://www.example.com"_s)).isNull());
}

TEST_F(BrandIconLibraryTest, HostsMatchTheirSiteOrASubdomainOfIt)
{
    const struct {
        QString url;
        std::optional<QString> slug;
    } cases[] = {
        {u"https://WWW.Example.COM/x"_s, u"example"_s},
        {u"https://example.com"_s, u"example"_s},
        {u"https://a.b.example.com/path"_s, u"example"_s},
        {u"http://www.example.org"_s, u"example"_s},
        {u"https://notexample.com"_s, std::nullopt},
        // One leading "www." only: this host is not example.com.
        {u"https://xwww.example.com"_s, u"example"_s},  // a subdomain of example.com all the same
        {u"https://wwwexample.com"_s, std::nullopt},
        {u"https://example.com.evil.test"_s, std::nullopt},
        {u"https:///nohost"_s, std::nullopt},
        {u"not a url"_s, std::nullopt},
        {u""_s, std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(BrandIconLibrary::slug(link(c.url)), c.slug) << c.url.toStdString();
    // Removing every "www." would turn this host into "xexample.com", another site.
    BrandIconLibrary::setAliases({{u"xexample.com"_s, u"other"_s}});
    EXPECT_FALSE(BrandIconLibrary::slug(link(u"https://xwww.example.com"_s)));
    EXPECT_EQ(BrandIconLibrary::slug(link(u"https://www.xexample.com"_s)), u"other"_s);
}

TEST_F(BrandIconLibraryTest, LoadsAnIconOnceAndLooksAgainAfterAMiss)
{
    const SavedLink site = link(u"https://example.com"_s);
    EXPECT_FALSE(BrandIconLibrary::iconURL(u"example"_s));
    EXPECT_TRUE(BrandIconLibrary::image(site).isNull()) << "no file yet";

    write(u"Resources/BrandIcons/example.svg"_s, "<svg this is not");
    EXPECT_TRUE(BrandIconLibrary::iconURL(u"example"_s));
    EXPECT_TRUE(BrandIconLibrary::image(site).isNull()) << "an unreadable file gives no image";

    write(u"Resources/BrandIcons/example.svg"_s, kSquare);
    const QImage first = BrandIconLibrary::image(site);
    ASSERT_FALSE(first.isNull()) << "a failed load is tried again";
    EXPECT_EQ(first.size(), QSize(BrandIconLibrary::imageSize, BrandIconLibrary::imageSize / 2));
    EXPECT_EQ(first.pixelColor(10, 10), QColor(255, 0, 0));

    // Two links of the site share the one loaded image, even once the file is gone.
    const QImage second = BrandIconLibrary::image(link(u"https://www.example.org/about"_s));
    EXPECT_EQ(second.cacheKey(), first.cacheKey());
    EXPECT_TRUE(BrandIconLibrary::image(link(u"https://video.test"_s)).isNull());
}

TEST_F(BrandIconLibraryTest, SlugsNameOnlyFilesInsideTheIconFolder)
{
    write(u"Resources/escape.svg"_s, kSquare);
    for (const QString &slug : {u"../escape"_s, u""_s, u".hidden"_s, u"a/b"_s})
        EXPECT_FALSE(BrandIconLibrary::iconURL(slug)) << slug.toStdString();
}

} // namespace
} // namespace kolu
