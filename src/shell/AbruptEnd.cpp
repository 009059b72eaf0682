#include "shell/AbruptEnd.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "shell/GameFlow.h"

namespace duduri {

namespace {

std::mutex& lock() {
  static std::mutex m;
  return m;
}

// Never destroyed: the exit handler may run after static destructors.
std::vector<TGameFlow*>& live() {
  static auto* flows = new std::vector<TGameFlow*>;
  return *flows;
}

void endLiveFlows() {
  std::vector<TGameFlow*> flows;
  {
    std::lock_guard<std::mutex> guard(lock());
    flows.swap(live());
  }
  for (TGameFlow* flow : flows) flow->EndAbruptly();
}

}  // namespace

TAbruptEndGuard::TAbruptEndGuard(TGameFlow& flow) : flow_(flow) {
  static const bool registered = std::atexit(endLiveFlows) == 0;
  (void)registered;
  std::lock_guard<std::mutex> guard(lock());
  live().push_back(&flow_);
}

TAbruptEndGuard::~TAbruptEndGuard() {
  std::lock_guard<std::mutex> guard(lock());
  auto& flows = live();
  flows.erase(std::remove(flows.begin(), flows.end(), &flow_), flows.end());
}

}  // namespace duduri
