#pragma once
// The system's errors: exceptions with a French message whose classes know their own name and
// their parent's, as some messages quote them.

#include <stdexcept>
#include <string>

namespace orvane {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
  virtual const char* ClassName() const { return "Exception"; }
  virtual const char* ClassParentName() const { return "TObject"; }
};

}  // namespace orvane

// Declares an error class Name derived from Parent, with both names known to it.
#define ORVANE_DECLARE_EXCEPTION(Name, Parent)                        \
  class Name : public Parent {                                        \
   public:                                                            \
    using Parent::Parent;                                             \
    const char* ClassName() const override { return #Name; }         \
    const char* ClassParentName() const override { return #Parent; } \
  }

namespace orvane {
// An operating-system call failed.
ORVANE_DECLARE_EXCEPTION(EOSError, Exception);
// A COM call or connection failed (Windows component, or its simulation).
ORVANE_DECLARE_EXCEPTION(EOleError, Exception);
ORVANE_DECLARE_EXCEPTION(EOleSysError, EOleError);
ORVANE_DECLARE_EXCEPTION(EOleException, EOleSysError);
}  // namespace orvane
