#pragma once

#include "cards/links/BrandIconLibrary.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

namespace kolu::test {

// An empty current folder for the library to look for icons in, with the
// alias table given; the shipped table and the current folder come back
// however the test ends.
class BrandIconFolder {
public:
    explicit BrandIconFolder(BrandIconLibrary::AliasTable aliases)
    {
        EXPECT_TRUE(m_folder.isValid());
        EXPECT_TRUE(QDir::setCurrent(m_folder.path()));
        BrandIconLibrary::setAliases(std::move(aliases));
    }
    ~BrandIconFolder()
    {
        BrandIconLibrary::setAliases({});
        QDir::setCurrent(m_previous);
    }
    BrandIconFolder(const BrandIconFolder &) = delete;
    BrandIconFolder &operator=(const BrandIconFolder &) = delete;

    // Writes `relative` (below the folder) with `content`.
    void write(const QString &relative, const QByteArray &content) const
    {
        EXPECT_TRUE(writeFile(m_folder.filePath(relative), content));
    }
    void writeIcon(const QString &slug, const QByteArray &content) const
    {
        write(QStringLiteral("Resources/BrandIcons/") + slug + QStringLiteral(".svg"), content);
    }

private:
    QString m_previous = QDir::currentPath();
    QTemporaryDir m_folder;
};

} // namespace kolu::test
