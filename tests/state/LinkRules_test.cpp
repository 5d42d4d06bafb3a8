#include "state/LinkRules.h"

#include <gtest/gtest.h>

using namespace kolu;
using namespace kolu::linkrules;
using namespace Qt::StringLiterals;

TEST(LinkRules, WebAddressesAreKeptAsTypedOrGainHttps)
{
    EXPECT_EQ(normalizedWebURL(u"  example.com \n"_s), (WebAddress{u"https://example.com"_s, u"example.com"_s}));
    EXPECT_EQ(normalizedWebURL(u"example.com/a/b?c=d"_s)->absoluteString, u"https://example.com/a/b?c=d"_s);
    EXPECT_EQ(normalizedWebURL(u"HTTP://Example.com/Path"_s)->absoluteString, u"HTTP://Example.com/Path"_s);
    EXPECT_EQ(normalizedWebURL(u"localhost:8080"_s)->absoluteString, u"https://localhost:8080"_s);
}

TEST(LinkRules, TextThatIsNoWebAddressWithAHostGivesNothing)
{
    for (const QString &text : {u""_s, u"   "_s, u"two words"_s, u"https://exa mple.com"_s, u"example.com/%zz"_s,
                                u"exa<mple.com"_s, u"https://"_s, u"http:"_s, u"https:/path"_s,
                                u"http:///just/a/path"_s, u"https:?q=1"_s})
        EXPECT_FALSE(normalizedWebURL(text)) << text.toStdString();
    EXPECT_TRUE(isWebAddressWithHost(u"HTTP://example.com"_s));
    for (const QString &text :
         {u"mailto:me@example.com"_s, u"http:///nohost"_s, u"example.com"_s, u"ftp://example.com"_s})
        EXPECT_FALSE(isWebAddressWithHost(text)) << text.toStdString();
}

TEST(LinkRules, SchemeIsReadOnlyFromAValidSchemeName)
{
    EXPECT_EQ(schemeOf(u"HTTPS://a"_s), u"HTTPS"_s);
    EXPECT_EQ(schemeOf(u"svn+ssh://a"_s), u"svn+ssh"_s);
    EXPECT_EQ(schemeOf(u"1http://a"_s), QString());
    EXPECT_EQ(schemeOf(u"example.com/a:b"_s), QString());
}

TEST(LinkRules, QueryDelimitersAndSpacesAreEncoded)
{
    EXPECT_EQ(encodedSearchQuery(u"a&b=c?d+e f"_s), u"a%26b%3Dc%3Fd%2Be%20f"_s);
    EXPECT_EQ(encodedSearchQuery(u"100% #1"_s), u"100%25%20%231"_s);
    EXPECT_EQ(encodedSearchQuery(u"café"_s), u"caf%C3%A9"_s);
}

TEST(LinkRules, SearchAddressFillsEveryPlaceholder)
{
    const auto url = searchURL(u"https://s.example/?q={query}&again={query}"_s, u"  fish & chips  "_s);
    ASSERT_TRUE(url);
    EXPECT_EQ(url->toEncoded(), "https://s.example/?q=fish%20%26%20chips&again=fish%20%26%20chips");
    EXPECT_FALSE(searchURL(u"https://s.example/?q={query}"_s, u" \n "_s));
    EXPECT_FALSE(searchURL(u"not a template {query}"_s, u"x"_s));
}
