// SPDX-License-Identifier: MIT
#pragma once

#include "orvane/RunTimeError.h"

// Runs one event handler. An engine error ends that handler where it
// happened, leaving the boxes as last written; it must not reach Qt, which
// cannot carry an exception through its event loop.
template <class Handler>
void RunHandler(Handler&& handler) noexcept {
  try {
    handler();
  } catch (const orvane::RunTimeError&) {
  }
}
