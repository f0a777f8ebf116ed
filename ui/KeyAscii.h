// SPDX-License-Identifier: MIT
#pragma once

#include <optional>

class QKeyEvent;

// The character code of a key press, or nothing for keys that type no
// character (arrows, function keys, bare modifiers). Enter is 13, and 10
// with Ctrl, whichever Enter key was used.
std::optional<int> KeyAscii(const QKeyEvent& event);
