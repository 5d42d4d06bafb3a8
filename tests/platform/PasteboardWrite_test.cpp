#include "platform/Pasteboard.h"

#include "ClipboardLock.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <gtest/gtest.h>

#include <memory>

using namespace kolu;
using namespace Qt::StringLiterals;

namespace {

class PasteboardWriteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_lock = std::make_unique<test::ClipboardLock>();
        ASSERT_TRUE(m_lock->isReady()) << "the clipboard of this display could not be had";
    }

private:
    std::unique_ptr<test::ClipboardLock> m_lock;
};

} // namespace

TEST(GnomeCopiedFiles, ListsEveryFileAfterTheVerb)
{
    EXPECT_EQ(gnomeCopiedFiles({QUrl::fromLocalFile(u"/a b"_s), QUrl::fromLocalFile(u"/c"_s)}),
              "copy\nfile:///a%20b\nfile:///c");
}

TEST_F(PasteboardWriteTest, WritesReplaceTheContentAndCountAsChanges)
{
    SystemPasteboard pasteboard;
    const qint64 start = pasteboard.changeCount();
    pasteboard.writeText(u"again"_s);
    EXPECT_EQ(pasteboard.text(), u"again"_s);

    const QList<QUrl> files{QUrl::fromLocalFile(u"/tmp/kolu a.txt"_s)};
    pasteboard.writeFiles(files);
    EXPECT_EQ(pasteboard.data(u"x-special/gnome-copied-files"_s), gnomeCopiedFiles(files));
    EXPECT_TRUE(pasteboard.data(u"text/uri-list"_s).startsWith("file:///tmp/kolu%20a.txt"));

    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::blue);
    pasteboard.writeImage(image, "png bytes");
    EXPECT_EQ(pasteboard.data(u"image/png"_s), "png bytes");
    EXPECT_EQ(pasteboard.changeCount(), start + 3);
}
