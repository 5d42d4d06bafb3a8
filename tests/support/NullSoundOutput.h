#pragma once

#include "TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>

#include <stdexcept>

namespace kolu::test {

// Gives a machine without a sound card an output that consumes audio in real
// time: the default ALSA device becomes the null device (GStreamer's automatic
// sink then plays into it). Call after TemporaryHome has moved HOME and
// before the first player is made. GStreamer's plugin registry is kept beside
// the test executable, so that each test's fresh cache folder does not make
// it scan every plugin again.
inline void useNullSoundOutput(const QString &home)
{
    if (!writeFile(QDir(home).filePath(QStringLiteral(".asoundrc")), "pcm.!default {\n  type null\n}\n"))
        throw std::runtime_error("cannot write .asoundrc");
    if (qEnvironmentVariableIsEmpty("GST_REGISTRY"))
        qputenv("GST_REGISTRY",
                QFile::encodeName(QCoreApplication::applicationDirPath() + QStringLiteral("/gstreamer-registry.bin")));
}

} // namespace kolu::test
