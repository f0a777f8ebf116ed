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

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Length of the sequence a lead byte starts and the smallest code point it may
// encode (to refuse overlong forms); 0 for a byte that cannot lead.
struct Lead {
  int length;
  char32_t minimum;
};

Lead LeadOf(unsigned char b) {
  if (b < 0x80) return {1, 0};
  if ((b & 0xE0) == 0xC0) return {2, 0x80};
  if ((b & 0xF0) == 0xE0) return {3, 0x800};
  if ((b & 0xF8) == 0xF0) return {4, 0x10000};
  return {0, 0};
}

}  // namespace

Text FromUtf8(std::string_view utf8) {
  Text out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    const Lead lead = LeadOf(b);
    if (lead.length == 0 || i + lead.length > utf8.size()) {
      out += kReplacement;
      ++i;
      continue;
    }
    char32_t cp = lead.length == 1 ? b : (b & (0x7F >> lead.length));
    bool valid = true;
    for (int k = 1; k < lead.length; ++k) {
      const auto c = static_cast<unsigned char>(utf8[i + k]);
      if ((c & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      cp = (cp << 6) | (c & 0x3F);
    }
    if (!valid || cp < lead.minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out += kReplacement;
      ++i;
      continue;
    }
    AppendCodePoint(out, cp);
    i += lead.length;
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
