#pragma once
// Small shared helpers: the command-line parameter lookup and the string choice.

#include <string>

namespace orvane {

// Looks Name up among the arguments NAME or NAME=VALUE, names compared without regard to letter
// case, the first match winning. Found: Value receives what follows the first "=" (empty for a
// bare NAME). Not found: Value stays as it was.
bool GetParamValue(const std::string& name, std::string& value);
bool ParamExists(const std::string& name);

const std::string& IfThenStr(bool condition, const std::string& whenTrue, const std::string& whenFalse);

// Equal without regard to letter case, accented Latin letters included.
bool SameTextNoCase(const std::string& a, const std::string& b);
// Text in lower case, accented Latin letters included, from its character number `from` on.
std::string LowerCaseFrom(const std::string& text, size_t from = 0);

}  // namespace orvane
