#pragma once
// Errors of the data-access layer: its own, and those the Firebird client reports.

#include <cstdint>
#include <string>

#include "common/Exceptions.h"

namespace orvane {

class EFIBError : public Exception {
 public:
  explicit EFIBError(const std::string& message, int32_t sqlCode = 0, intptr_t errorCode = 0)
      : Exception(message), sqlCode_(sqlCode), errorCode_(errorCode) {}
  const char* ClassName() const override { return "EFIBError"; }
  const char* ClassParentName() const override { return "Exception"; }
  // The SQLCODE and the first error code of the client's status vector; 0 for the layer's own.
  int32_t SQLCode() const { return sqlCode_; }
  intptr_t ErrorCode() const { return errorCode_; }

 private:
  int32_t sqlCode_;
  intptr_t errorCode_;
};

}  // namespace orvane
