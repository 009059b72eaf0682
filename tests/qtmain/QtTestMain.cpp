// One application for every registered Qt Test class of an executable, run
// in name order so the output reads the same each time. Arguments are Qt
// Test's own; "-class NAME" runs only the classes whose name is NAME.

#include <QApplication>
#include <algorithm>
#include <cstring>

#include "qtmain/QtTestRegistry.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  std::vector<char*> args(argv, argv + argc);
  std::string only;
  for (auto it = args.begin() + 1; it != args.end(); ++it) {
    if (std::strcmp(*it, "-class") == 0 && it + 1 != args.end()) {
      only = *(it + 1);
      args.erase(it, it + 2);
      break;
    }
  }
  auto& tests = duduri::test::QtTests();
  std::sort(tests.begin(), tests.end(),
            [](const auto& a, const auto& b) { return a.Name < b.Name; });
  int failed = 0;
  for (const auto& entry : tests) {
    if (!only.empty() && entry.Name != only) continue;
    const std::unique_ptr<QObject> test = entry.Make();
    failed += QTest::qExec(test.get(), int(args.size()), args.data());
  }
  return failed == 0 ? 0 : 1;
}
