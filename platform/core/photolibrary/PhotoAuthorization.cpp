#include "platform/core/photolibrary/PhotoAuthorization.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace platform::photoauthorization {
namespace {

namespace fs = std::filesystem;

constexpr std::array<std::pair<AuthorizationStatus, std::string_view>, 5> kNames{{
    {AuthorizationStatus::notDetermined, "notDetermined"},
    {AuthorizationStatus::restricted, "restricted"},
    {AuthorizationStatus::denied, "denied"},
    {AuthorizationStatus::authorized, "authorized"},
    {AuthorizationStatus::limited, "limited"},
}};

fs::path recordFile(const fs::path &location) { return location / "authorization"; }

LibraryError writeError(int error) {
  return {LibraryError::Kind::io, QStringLiteral("记录访问权限失败（") +
                                      QString::fromLocal8Bit(std::strerror(error)) +
                                      QStringLiteral("）")};
}

// Writes the whole text under a temporary name, syncs it and renames it over the record,
// so that a crash leaves either the old or the new status, never a torn file.
Expected<void, LibraryError> writeAtomically(const fs::path &target, std::string_view text) {
  std::error_code ignored;
  fs::create_directories(target.parent_path(), ignored);
  fs::path partial = target;
  partial += ".partial";
  const int fd = ::open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    return Unexpected{writeError(errno)};
  }
  const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) &&
                       ::fsync(fd) == 0;
  const int savedErrno = errno;
  ::close(fd);
  if (!written || ::rename(partial.c_str(), target.c_str()) != 0) {
    const int error = written ? errno : savedErrno;
    fs::remove(partial, ignored);
    return Unexpected{writeError(error)};
  }
  return {};
}

} // namespace

AuthorizationStatus currentStatus(const fs::path &libraryLocation) {
  std::ifstream in(recordFile(libraryLocation));
  std::string word;
  in >> word;
  for (const auto &[value, name] : kNames) {
    if (word == name) {
      return value;
    }
  }
  return AuthorizationStatus::notDetermined;
}

AuthorizationStatus request(const fs::path &libraryLocation) {
  const AuthorizationStatus current = currentStatus(libraryLocation);
  if (current != AuthorizationStatus::notDetermined) {
    return current;
  }
  if (!setStatus(libraryLocation, AuthorizationStatus::authorized)) {
    return current;
  }
  return AuthorizationStatus::authorized;
}

Expected<void, LibraryError> setStatus(const fs::path &libraryLocation, AuthorizationStatus value) {
  for (const auto &[candidate, name] : kNames) {
    if (candidate == value) {
      return writeAtomically(recordFile(libraryLocation), std::string(name) + "\n");
    }
  }
  return Unexpected{LibraryError{LibraryError::Kind::io, QStringLiteral("未知的访问权限")}};
}

} // namespace platform::photoauthorization
