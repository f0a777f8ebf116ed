// SPDX-License-Identifier: MIT
// The least a Qt Widgets program does to open a window: the floor that the
// start-up benchmark holds Orvane against. Built twice: empty, and with one
// line of text (BARE_WINDOW_TEXT), since the first text a program shows
// makes Qt read the machine's font configuration.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Bare"));
  window.setFixedSize(312, 204);
#ifdef BARE_WINDOW_TEXT
  QLabel text(QStringLiteral("Bare"), &window);
#endif
  window.show();
  return app.exec();
}
