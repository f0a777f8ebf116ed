// SPDX-License-Identifier: MIT
// The least a Qt Widgets program does to open a window: the floor that the
// start-up benchmark holds Orvane against.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Bare"));
  window.setFixedSize(312, 204);
  window.show();
  return app.exec();
}
