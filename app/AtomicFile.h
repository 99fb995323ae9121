#pragma once

#include <string>

// Replaces the file at `path` with `contents` so that a reader, or a crash, sees either the old
// file or the whole new one: the text goes to a temporary file beside it, reaches the disk,
// and is then renamed over it. An existing file keeps its permissions; a symbolic link is
// followed, so the file it names is replaced, or made when it does not exist yet. False when
// anything fails; the old file is then untouched.
bool ReplaceFileAtomically(const std::string& path, const std::string& contents);
