// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>

// The window's two pictures, decoded here rather than by Qt's image reader,
// which loads every image-format plugin installed on the machine before it
// reads anything, and so slows the start.

// An uncompressed 1-bit BMP with its two-colour palette; a null image for
// anything else.
QImage DecodeMonoBmp(const QByteArray& file);

// Square RGBA pixels, 8 bits a channel, row by row from the top.
QImage DecodeRgba(const QByteArray& pixels, int side);
