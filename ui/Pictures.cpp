// SPDX-License-Identifier: MIT
#include "Pictures.h"

#include <cstring>

namespace {

quint32 LittleEndian(const QByteArray& bytes, qsizetype at, int size) {
  quint32 value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<quint8>(bytes[at + i]);
  return value;
}

}  // namespace

QImage DecodeMonoBmp(const QByteArray& file) {
  constexpr int kHeaders = 54;
  if (file.size() < kHeaders + 8 || !file.startsWith("BM")) return {};
  const quint32 pixelsAt = LittleEndian(file, 10, 4);
  const auto width = static_cast<qint32>(LittleEndian(file, 18, 4));
  const auto height = static_cast<qint32>(LittleEndian(file, 22, 4));  // positive: rows bottom-up
  if (LittleEndian(file, 28, 2) != 1 || LittleEndian(file, 30, 4) != 0 || width <= 0 || height <= 0)
    return {};
  // In qsizetype, so that a width near the 32-bit limit cannot overflow.
  const qsizetype stride = (qsizetype{width} + 31) / 32 * 4;
  if (file.size() < static_cast<qsizetype>(pixelsAt) + stride * height) return {};
  QImage image(width, height, QImage::Format_Mono);
  for (int index : {0, 1}) {
    const qsizetype entry = kHeaders + 4 * index;  // blue, green, red, unused
    image.setColor(index, qRgb(static_cast<quint8>(file[entry + 2]), static_cast<quint8>(file[entry + 1]),
                               static_cast<quint8>(file[entry])));
  }
  for (int row = 0; row < height; ++row)
    std::memcpy(image.scanLine(height - 1 - row), file.constData() + pixelsAt + row * stride,
                static_cast<size_t>((width + 7) / 8));
  return image;
}

QImage DecodeRgba(const QByteArray& pixels, int side) {
  if (side <= 0 || pixels.size() != qsizetype(side) * side * 4) return {};
  QImage image(side, side, QImage::Format_RGBA8888);
  for (int row = 0; row < side; ++row)
    std::memcpy(image.scanLine(row), pixels.constData() + qsizetype(row) * side * 4, size_t(side) * 4);
  return image;
}
