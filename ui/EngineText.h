// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include "orvane/Text.h"

// The engine and the text boxes both count in UTF-16 units, so texts cross
// between them unchanged.
inline orvane::Text ToEngine(const QString& text) { return text.toStdU16String(); }
inline QString FromEngine(orvane::TextView text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}
