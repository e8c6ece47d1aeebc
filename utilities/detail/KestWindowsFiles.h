// The Windows calls behind safe writing (KestFileUtil::write_all_safely), with failures as the
// C library's errno values, so that messages read as on other systems.
#pragma once

#include <cstdio>
#include <string>

namespace KestWindowsFiles {

/// Writes what `file` holds in the system's buffers to the disk; 0 or the reason it failed.
int flush_to_disk(std::FILE* file);

/// Puts the file `replacement` in the place of `target` in one step (MoveFileExW, through to the
/// disk), and 0 or the reason it failed, when both files are as they were. A target that exists
/// passes its attributes (hidden, system, archive) on; a read-only one is refused, as writing
/// it would be. The replacement keeps the security it was made with, its folder's.
int replace(const std::wstring& replacement, const std::wstring& target);

} // namespace KestWindowsFiles
