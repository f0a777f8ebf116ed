// SPDX-License-Identifier: MIT
#include "FixedFrame.h"

#include <QGuiApplication>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <xcb/xcb.h>

namespace {

// The Motif window manager hints: which fields are set, the functions
// offered, the decorations drawn.
constexpr std::uint32_t kFunctionsSet = 1 << 0;
constexpr std::uint32_t kDecorationsSet = 1 << 1;
constexpr std::uint32_t kMove = 1 << 2;
constexpr std::uint32_t kMinimise = 1 << 3;
constexpr std::uint32_t kClose = 1 << 5;
constexpr std::uint32_t kBorder = 1 << 1;
constexpr std::uint32_t kTitle = 1 << 3;
constexpr std::uint32_t kMenu = 1 << 4;
constexpr std::uint32_t kMinimiseButton = 1 << 5;

}  // namespace

void OfferNoResize(QWidget* window) {
  // The offscreen platform may answer for X too, without a connection.
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
  if (!connection) return;
  constexpr char kName[] = "_MOTIF_WM_HINTS";
  const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
      xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof kName - 1, kName), nullptr),
      &std::free);
  if (!atom) return;
  const std::array<std::uint32_t, 5> hints{kFunctionsSet | kDecorationsSet, kMove | kMinimise | kClose,
                                           kBorder | kTitle | kMenu | kMinimiseButton, 0, 0};
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window->winId()), atom->atom,
                      atom->atom, 32, hints.size(), hints.data());
  xcb_flush(connection);
}
