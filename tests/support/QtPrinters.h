#pragma once

// Readable gtest output for Qt values; every test source gets this header
// through the build.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QUrl>

#include <ostream>

inline void PrintTo(const QString &value, std::ostream *out)
{
    *out << '"' << value.toStdString() << '"';
}

inline void PrintTo(const QByteArray &value, std::ostream *out)
{
    *out << '"' << value.toStdString() << '"';
}

inline void PrintTo(const QDateTime &value, std::ostream *out)
{
    *out << value.toString(Qt::ISODateWithMs).toStdString();
}

inline void PrintTo(const QUrl &value, std::ostream *out)
{
    *out << value.toString().toStdString();
}
