#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

class QIODevice;

namespace kolu {

// The size a picture of `source` pixels is decoded at to cover `target`:
// shrunk, keeping its proportions, until its shorter side (relative to the
// target's) meets the target; never enlarged. An unknown source or an empty
// target leaves the source size.
QSize coverSize(QSize source, QSize target);

// Decodes the picture in `device` at coverSize() of `target`, upright (its
// orientation tag applied), in a format that paints without conversion.
// Formats that can decode at a smaller size (JPEG) never hold the full-size
// picture. A null image when nothing could be decoded. These block: run
// them on a worker.
QImage decodeImage(QIODevice &device, QSize target);
QImage decodeImageFile(const QString &path, QSize target);
QImage decodeImageData(const QByteArray &data, QSize target);

} // namespace kolu
