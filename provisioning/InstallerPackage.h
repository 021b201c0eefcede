#pragma once
// Recognises a whole Windows Installer package before it is kept and handed to the installer.

#include <string>

namespace orvane {

// Whether File is a whole Windows Installer package: a compound file (the container of every
// package) whose header and sector count agree with the file's size, every sector its allocation
// table uses lying in the file, and, where the platform has Windows Installer, a package that the
// installer's own verification accepts. An error page, an empty answer or a package cut short,
// even on a sector's end, is none.
bool IsWholeInstallerPackage(const std::string& file);

// The platform installer's own verification; true where the platform has no Windows Installer.
bool InstallerVerifiesPackage(const std::string& file);

}  // namespace orvane
