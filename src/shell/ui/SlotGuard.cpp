#include "shell/ui/SlotGuard.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <exception>
#include <string>

#include "shell/ShellTexts.h"

namespace duduri {

namespace {

bool showing = false;

void report(const std::string& text) noexcept {
  if (showing || !qApp) {
    std::fprintf(stderr, "duduri: %s\n", text.c_str());
    return;
  }
  showing = true;
  try {
    QMessageBox box(QMessageBox::Critical, kApplicationTitle, QString::fromStdString(text),
                    QMessageBox::Ok);
    box.exec();
  } catch (...) {
    std::fprintf(stderr, "duduri: %s\n", text.c_str());
  }
  showing = false;
}

}  // namespace

void GuardSlot(const std::function<void()>& body) noexcept {
  try {
    body();
  } catch (const std::exception& e) {
    report(e.what());
  } catch (...) {
    report("An unexpected error occurred.");
  }
}

}  // namespace duduri
