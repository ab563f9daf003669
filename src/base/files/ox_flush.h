#pragma once
// Making what was written survive a power cut or a kill: a file's content,
// and the folder entry that names it (a rename or a new file is only
// durable once its folder is flushed). Native paths.
#include <string>

namespace ox_base {

// Flushes the file's content to the disk. False when it cannot be opened
// or flushed.
bool FlushFile(const std::string& path);

// Flushes the folder that holds `path` (the current directory for a bare
// name), so that the names it lists are on the disk.
bool FlushFolderOf(const std::string& path);

}  // namespace ox_base
