#pragma once

#include <QByteArray>
#include <QFile>
#include <filesystem>
#include <memory>
#include <string_view>

namespace lumora {

/// The whole contents of a file, read into memory or mapped. Empty when the file is missing
/// or unreadable: callers treat both the same as an empty file.
class FileBytes {
public:
  /// Maps the file when possible (the base snapshot can be large and is only ever replaced by a
  /// rename, never rewritten in place, so a mapping cannot be cut short under us).
  [[nodiscard]] static FileBytes mapped(const std::filesystem::path &path);
  /// Reads the file into memory: for files that may be truncated in place (the log).
  [[nodiscard]] static FileBytes read(const std::filesystem::path &path);

  [[nodiscard]] std::string_view view() const { return m_view; }
  /// Whether the whole file was read (an empty file counts; a missing one does not).
  [[nodiscard]] bool isComplete() const { return m_complete; }

private:
  std::unique_ptr<QFile> m_file;
  QByteArray m_bytes;
  std::string_view m_view;
  bool m_complete = false;
};

} // namespace lumora
