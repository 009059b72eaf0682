#pragma once
// Qt Test classes register themselves here, so every Qt test executable
// (tests/ui on the offscreen platform, the others under their own set-up)
// runs all the classes of its folder without a list to keep up to date:
//
//   DUDURI_QT_TEST(PlayerTest)
//
// after the class definition (and before its .moc include).

#include <QObject>
#include <QtTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace duduri::test {

struct TQtTestEntry {
  std::string Name;
  std::function<std::unique_ptr<QObject>()> Make;
};

inline std::vector<TQtTestEntry>& QtTests() {
  static std::vector<TQtTestEntry> tests;
  return tests;
}

struct TQtTestRegistration {
  TQtTestRegistration(const char* name, std::function<std::unique_ptr<QObject>()> make) {
    QtTests().push_back({name, std::move(make)});
  }
};

}  // namespace duduri::test

#define DUDURI_QT_TEST(Class)                                               \
  static const ::duduri::test::TQtTestRegistration duduriQtTest##Class{     \
      #Class, [] { return std::unique_ptr<QObject>(std::make_unique<Class>()); }};
