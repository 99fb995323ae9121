#pragma once

#include <optional>
#include <string>

class QMimeData;

// The file a drag brings, when it brings exactly one local file (no folder); its path as the
// file system names it.
std::optional<std::string> DroppedFile(const QMimeData& data);
