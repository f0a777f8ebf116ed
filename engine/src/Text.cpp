// SPDX-License-Identifier: MIT
// Conversions between the engine's UTF-16 texts and UTF-8.
#include "orvane/Text.h"

namespace orvane {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

void AppendCodePoint(Text& out, char32_t cp) {
  if (cp < 0x10000) {
    out += static_cast<char16_t>(cp);
  } else {
    cp -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (cp >> 10));
    out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  }
}

// One to four bytes: a lead byte whose high bits count them (0xC0, 0xE0,
// 0xF0), then six bits per byte.
void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
    return;
  }
  const int more = cp < 0x800 ? 1 : cp < 0x10000 ? 2 : 3;
  out += static_cast<char>((0xFF << (7 - more)) | (cp >> (6 * more)));
  for (int k = more - 1; k >= 0; --k) out += static_cast<char>(0x80 | ((cp >> (6 * k)) & 0x3F));
}

// The code point of the sequence at i and its length, or 0 where the bytes
// there are no valid sequence. The lead byte's high bits count the bytes
// (0xC0, 0xE0, 0xF0); each length has a smallest code point, below which the
// form is overlong and refused.
int Decode(std::string_view utf8, std::size_t i, char32_t& cp) {
  constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  const auto b = static_cast<unsigned char>(utf8[i]);
  const int length = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
  if (length == 0 || i + length > utf8.size()) return 0;
  cp = length == 1 ? b : (b & (0x7F >> length));
  for (int k = 1; k < length; ++k) {
    const auto c = static_cast<unsigned char>(utf8[i + k]);
    if ((c & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (c & 0x3F);
  }
  const bool valid = cp >= kSmallest[length] && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
  return valid ? length : 0;
}

}  // namespace

Text FromUtf8(std::string_view utf8) {
  Text out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t cp = 0;
    const int length = Decode(utf8, i, cp);
    AppendCodePoint(out, length > 0 ? cp : kReplacement);
    i += length > 0 ? static_cast<std::size_t>(length) : 1;
  }
  return out;
}

std::string ToUtf8(TextView text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    const bool high = cp >= 0xD800 && cp <= 0xDBFF;
    if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = kReplacement;  // a lone surrogate
    }
    AppendUtf8(out, cp);
  }
  return out;
}

}  // namespace orvane
