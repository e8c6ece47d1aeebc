// The Windows calls behind safe writing (KestFileUtil::write_all_safely), with failures as the
// C library's errno values, so that messages read as on other systems.
#pragma once

#include <cstdio>
#include <string>

namespace KestWindowsFiles {

/// Writes what `file` holds in the system's buffers to the disk; 0 or the reason it failed.
int flush_to_disk(std::FILE* file);

/// Puts the file `replacement` in the place of `target` in one step, and 0 or the reason it
/// failed, when `target` and the replacement are then as they were. A target that exists keeps
/// its attributes (read-only, hidden, ...), security and creation time (ReplaceFileW); else the
/// replacement is renamed (MoveFileExW). The rename reaches the disk before this returns.
int replace(const std::wstring& replacement, const std::wstring& target);

} // namespace KestWindowsFiles
