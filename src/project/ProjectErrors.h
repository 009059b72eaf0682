#pragma once
// Errors raised while building, reading and writing a puzzle project. The
// texts are the ones the player shows as they stand.

#include <string>

#include "raster/Error.h"

namespace duduri {

inline constexpr const char* kInvalidProjectFormat = "Stream data contains invalid project format.";
inline constexpr const char* kStreamReadError = "Stream read error";
inline constexpr const char* kErrorInitializingObject = "Error initializing object.";

// Construction and clipboard failures of the project object.
class EExecDataError : public EDuduriError {
 public:
  using EDuduriError::EDuduriError;
};

// A package or stream whose content breaks the format: a wrong signature, a
// negative length or count, nesting that is too deep.
class EProjectFormatError : public EDuduriError {
 public:
  explicit EProjectFormatError(const std::string& message = kInvalidProjectFormat)
      : EDuduriError(message) {}
};

// Data that ends before a record that should be there is complete.
class EStreamReadError : public EDuduriError {
 public:
  explicit EStreamReadError(const std::string& message = kStreamReadError)
      : EDuduriError(message) {}
};

// A package body whose inflated size exceeds what a package may hold.
class EPackageTooLarge : public EProjectFormatError {
 public:
  using EProjectFormatError::EProjectFormatError;
};

// A new id was asked for in a list that has every possible id in use.
class ENoFreeId : public EDuduriError {
 public:
  using EDuduriError::EDuduriError;
};

}  // namespace duduri
