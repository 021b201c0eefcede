#pragma once
// How this platform writes paths, and the process's current directory.

#include <string>

namespace orvane {

// Windows: "\" separates folders, drives and UNC names. POSIX: "/" separates; a "\" in a
// configured name is read as "/", so one configuration serves both platforms.
enum class PathStyle { Windows, Posix };

PathStyle NativePathStyle();
// Absolute, in the native style; empty when it cannot be read.
std::string CurrentDirectory();

}  // namespace orvane
