// SPDX-License-Identifier: MIT
#include <QApplication>

#include "FMainComb.h"
#include "KeepFreedMemory.h"

int main(int argc, char* argv[]) {
  orvane::KeepFreedMemory();
  QApplication app(argc, argv);
  QCoreApplication::setApplicationVersion(QStringLiteral(ORVANE_VERSION));
  // Lets the desktop match the window to its launcher and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.orvane.Orvane"));
  FMainComb window;
  window.show();
  return app.exec();
}
