#pragma once
// One monkey run on the headless hands, in a folder of its own that is
// removed afterwards, and how a failed run is told.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/Monkey.h"

namespace duduri::monkey {

TMonkeyReport RunHeadless(const TMonkeyOptions& options, int width = 480, int height = 360);

// The report of a failed run: the rule, the events before it, and the
// command line that plays the run again.
std::string Describe(const TMonkeyOptions& options, const TMonkeyReport& report);

// A number a longer run by hand asks for in the environment, or `fallback`.
inline long FromEnvironment(const char* name, long fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::strtol(value, nullptr, 10) : fallback;
}

}  // namespace duduri::monkey
