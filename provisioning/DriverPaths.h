#pragma once
// Platform spelling of the driver folder's paths.

#include <string>

namespace orvane {

// The folder separator of the platform's paths.
char DriverPathDelimiter();
// The environment's temporary folder, empty when it names none.
std::string TemporaryFolderFromEnvironment();

}  // namespace orvane
