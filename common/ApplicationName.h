#pragma once
// The names that follow from the program file's name: the application title (window captions,
// event source), the application key of the logging configuration and the "?EXENAME?" token.

#include <string>

#include "common/PathStyle.h"

namespace orvane {

// The file's name without its folder and extension. Windows drops the last four characters
// ("Orvane.exe" gives "Orvane"); POSIX drops an extension only when there is one.
std::string ProgramBaseName(const std::string& programPath, PathStyle style);
// The folder of programPath, with its final separator; empty when the path names no folder.
std::string FolderOf(const std::string& programPath, PathStyle style);

std::string ApplicationTitle();
std::string ApplicationKey();
// The program file's folder, ending with the separator.
std::string ProgramFolder();

}  // namespace orvane
