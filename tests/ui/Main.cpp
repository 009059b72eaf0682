// One application for every Qt Test class of the player.

#include <QApplication>

int RunPlayerTests(int argc, char** argv);
int RunWidgetTests(int argc, char** argv);

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  int failed = 0;
  failed += RunWidgetTests(argc, argv);
  failed += RunPlayerTests(argc, argv);
  return failed == 0 ? 0 : 1;
}
