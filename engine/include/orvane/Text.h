// SPDX-License-Identifier: MIT
#pragma once

// The engine's text type (UTF-16 code units, as the window's boxes hold
// them) and its conversions from and to UTF-8.

#include <string>
#include <string_view>

namespace orvane {

// Texts are UTF-16, like the window's text boxes, so that every length and
// position limit counts characters the way the user sees them counted there.
using Text = std::u16string;
using TextView = std::u16string_view;

// Conversions for the command-line tool and messages. Invalid UTF-8 bytes
// become U+FFFD, so no input is refused.
Text FromUtf8(std::string_view utf8);
std::string ToUtf8(TextView text);

}  // namespace orvane
