#pragma once
// Errors of the piece cutter and its template sets.

#include "raster/Error.h"

namespace duduri {

// A cutting request that cannot be carried out (no grid chosen, a template
// index that does not exist, a picture too large for the 16-bit grid search).
class EPieceError : public EDuduriError {
 public:
  using EDuduriError::EDuduriError;
};

// A template set that cannot be read ("Invalid template set: ...") or that can
// never serve a layout ("unusable template set: ...").
class ETemplateError : public EPieceError {
 public:
  using EPieceError::EPieceError;
};

}  // namespace duduri
