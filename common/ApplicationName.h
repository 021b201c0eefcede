#pragma once
// The names that follow from the program file's name: the application title (window captions,
// event source), the application key of the logging configuration and the "?EXENAME?" token.

#include <string>

#include "platform/PathStyle.h"

namespace orvane {

// The file's name without its folder and extension, in its own case ("?EXENAME?"). Windows drops
// the last four characters ("Orvane.exe" gives "Orvane"); POSIX drops an extension only when
// there is one.
std::string ProgramBaseName(const std::string& programPath, PathStyle style);
// The file's name without its folder, cut at the first dot, every character after the first in
// lower case: "C:\Prog\APPLI.EXE" gives "Appli", "/opt/Sonde.v2.bin" gives "Sonde".
std::string ApplicationTitleOf(const std::string& programPath, PathStyle style);
// The name an Application element's ExeName must carry: the base name in upper case, or the
// title in upper case when the base name begins with it.
std::string ApplicationKeyOf(const std::string& programPath, PathStyle style);
// The folder of programPath, with its final separator; empty when the path names no folder.
std::string FolderOf(const std::string& programPath, PathStyle style);

// The same, for this program's own file.
std::string ProgramBaseName();
std::string ApplicationTitle();
std::string ApplicationKey();
std::string ProgramFolder();

}  // namespace orvane
