#pragma once
// Recognises a Windows Installer package before it is handed to the installer.

#include <string>

namespace orvane {

// Whether File begins with the compound-file signature every Windows Installer package has and
// holds more than that. An error page, an empty answer or a cut-off start is no package.
bool IsWindowsInstallerFile(const std::string& file);

}  // namespace orvane
