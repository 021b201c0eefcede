#pragma once
// Download of a URL to a file, with handlers for its start, its progress and its end.

#include <cstdint>
#include <functional>
#include <string>

#include "provisioning/Downloader.h"

namespace orvane {

using TNotifyEvent = std::function<void(const void* sender)>;
using TDownloadProgressEvent = std::function<void(const void* sender, uint32_t progress, uint32_t progressMax,
                                                  uint32_t statusCode, const std::string& statusText, bool& cancel)>;

// Whether the complete download, in File, is what was asked for.
using TDownloadCheck = std::function<bool(const std::string& file)>;

// Calls OnStart, downloads Url to TargetFile with OnProgress within the limits of Settings, then
// OnEnd on every way out. The data goes to a temporary file beside the target, which takes the
// target's name only once the transfer is complete and Accepts (when given) takes it: a broken or
// refused transfer leaves neither file. Raises EDownloadError when the download fails.
void TelechargerURL(const std::string& url, const std::string& targetFile, const TDownloadProgressEvent& onProgress,
                    const TNotifyEvent& onStart, const TNotifyEvent& onEnd, const TDownloadCheck& accepts = nullptr,
                    const TDownloadSettings& settings = {});

// The name of the temporary file that a download of TargetFile writes to.
std::string PartialDownloadName(const std::string& targetFile);

}  // namespace orvane
