#pragma once

#include <string>

// Replaces the contents of the file at `path` with `contents`. Normally a reader, or a crash,
// sees either the old file or the whole new one: the text goes to a temporary file beside it,
// which takes the old file's mode, owner and group, reaches the disk, and is then renamed over
// it. Where a new file would not be the same file to its users - one with more than one name
// (hard links), one whose owner or group the replacement cannot be given, one in a directory
// that takes no new file - the file is rewritten in place instead. A symbolic link is followed,
// so the file it names is replaced, or made when it does not exist yet. False when anything
// fails, and for a file the user may not write or that no one may write (read-only even for
// root); such a file is untouched.
bool ReplaceFile(const std::string& path, const std::string& contents);
