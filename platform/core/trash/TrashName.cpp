#include "platform/core/trash/TrashName.h"

#include <algorithm>

namespace platform::trashname {
namespace {

/// An extension longer than this is part of the name rather than a file type.
constexpr std::size_t kMaxExtensionBytes = 16;

std::string extensionOf(const std::string &name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0 || name.size() - dot > kMaxExtensionBytes) {
    return {};
  }
  return name.substr(dot);
}

/// The first `room` bytes of `text`, less the start of a UTF-8 character cut in two.
std::string cut(const std::string &text, std::size_t room) {
  std::size_t end = std::min(room, text.size());
  if (end < text.size()) {
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
      --end;
    }
  }
  return text.substr(0, end);
}

} // namespace

std::string entryName(const std::string &name, int attempt) {
  const std::string suffix = attempt == 0 ? std::string() : "." + std::to_string(attempt);
  if (name.size() + suffix.size() <= kMaxEntryBytes) {
    return name + suffix;
  }
  const std::string extension = extensionOf(name);
  const std::string marker = "~" + std::to_string(attempt);
  const std::string stem = name.substr(0, name.size() - extension.size());
  return cut(stem, kMaxEntryBytes - extension.size() - marker.size()) + marker + extension;
}

} // namespace platform::trashname
