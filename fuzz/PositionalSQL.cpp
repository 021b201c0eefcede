// Any SQL text: each named parameter becomes one "?" and nothing else changes length.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fib/pFIBQuery.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string sql(reinterpret_cast<const char*>(data), size);
  const orvane::TFIBPositionalSQL positional = orvane::ToPositionalSQL(sql);
  size_t removed = 0;
  for (const std::string& name : positional.names) {
    if (name.empty()) std::abort();
    removed += name.size();
  }
  if (positional.sql.size() != sql.size() - removed) std::abort();
  size_t markersIn = 0, markersOut = 0;
  for (char c : sql) markersIn += c == '?';
  for (char c : positional.sql) markersOut += c == '?';
  if (markersOut != markersIn + positional.names.size()) std::abort();
  return 0;
}
