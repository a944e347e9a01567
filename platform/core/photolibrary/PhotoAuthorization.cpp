#include "platform/core/photolibrary/PhotoAuthorization.h"

#include "platform/core/files/AtomicWrite.h"
#include "platform/core/files/SafeRead.h"

#include <QFile>
#include <array>
#include <string>
#include <string_view>
#include <system_error>
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

// The record is replaced in one step, so that a crash leaves either the old or the new
// status, never a torn file.
Expected<void, LibraryError> writeRecord(const fs::path &target, std::string_view text) {
  std::error_code ignored;
  fs::create_directories(target.parent_path(), ignored);
  if (auto written = atomicwrite::replace(target, text); !written) {
    return Unexpected{LibraryError{LibraryError::Kind::io, QStringLiteral("记录访问权限失败（") +
                                                               written.error() +
                                                               QStringLiteral("）")}};
  }
  return {};
}

} // namespace

AuthorizationStatus currentStatus(const fs::path &libraryLocation) {
  // Read without following a link or blocking on a FIFO; anything but a small regular file
  // counts as no record, and the next request replaces it.
  saferead::Rules rules;
  rules.requireOwnFile = false;
  const saferead::Outcome record =
      saferead::read(QFile::decodeName(recordFile(libraryLocation).c_str()), rules);
  const QByteArray word = record.bytes.value_or(QByteArray()).trimmed();
  for (const auto &[value, name] : kNames) {
    if (word == QByteArrayView(name.data(), static_cast<qsizetype>(name.size()))) {
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
      return writeRecord(recordFile(libraryLocation), std::string(name) + "\n");
    }
  }
  return Unexpected{LibraryError{LibraryError::Kind::io, QStringLiteral("未知的访问权限")}};
}

} // namespace platform::photoauthorization
