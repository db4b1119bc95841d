#pragma once

#include <functional>
#include <span>
#include <string_view>

// The command line's "probe FILE...": the header facts of each file, one JSON line per
// file in the order given. A name with an image extension is probed as an image, any other
// as a sample file; a file that fails gives a line {"file": ..., "error": ...}. The lines
// are handed to Write in blocks of about 64 KiB (the last one shorter), never one per file.
// Returns true when every file was probed.
using TProbeWriter = std::function<void(std::string_view)>;
bool ProbeFiles(std::span<const char *const> Files, const TProbeWriter &Write);
