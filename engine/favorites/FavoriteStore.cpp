#include "engine/favorites/FavoriteStore.h"

#include "engine/cache/AnalysisCache.h"
#include "engine/diagnostics/Diagnostics.h"
#include "engine/diagnostics/LoggedName.h"
#include "platform/core/files/AtomicWrite.h"
#include "platform/core/files/SafeRead.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringDecoder>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace lumora {
namespace {

constexpr int kMaxDamagedCopies = 100;
/// Far above any real collection (a million ids of 60 bytes); a larger file is not ours. It
/// bounds what reading and decoding the file can take (several times its size).
constexpr qint64 kMaxFileBytes = qint64(64) << 20;

QString qtPath(const std::filesystem::path &path) { return QFile::decodeName(path.c_str()); }

bool isUtf8(const std::string &bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  // The decoder is lazy: it converts, and notices errors, only when turned into a string.
  const QString text =
      decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  return !decoder.hasError();
}

/// Appends `id` as a JSON string the way the file has always been written: "/" as \/, the
/// short escapes for common control characters, \u00xx for the rest, UTF-8 as it is.
void appendJsonString(std::string &out, const std::string &id) {
  static constexpr char kHex[] = "0123456789abcdef";
  out.push_back('"');
  for (const char c : id) {
    switch (c) {
    case '"': out += "\\\""; break;
    case '\\': out += "\\\\"; break;
    case '/': out += "\\/"; break;
    case '\b': out += "\\b"; break;
    case '\f': out += "\\f"; break;
    case '\n': out += "\\n"; break;
    case '\r': out += "\\r"; break;
    case '\t': out += "\\t"; break;
    default:
      if (static_cast<unsigned char>(c) < 0x20) {
        out += "\\u00";
        out.push_back(kHex[(c >> 4) & 0xf]);
        out.push_back(kHex[c & 0xf]);
      } else {
        out.push_back(c);
      }
    }
  }
  out.push_back('"');
}

/// Whether anything, a dangling link included, stands at `path`.
bool entryExists(const QString &path) {
  struct stat info {};
  return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

void logLine(const QString &message) { Diagnostics::log(QStringLiteral("app"), message); }

/// The file's bytes: a regular file only (a FIFO there must not hang the engine), no link
/// followed.
platform::saferead::Outcome readFavoritesFile(const std::filesystem::path &url) {
  platform::saferead::Rules rules;
  rules.maxBytes = kMaxFileBytes;
  rules.requireOwnFile = false;
  return platform::saferead::read(QFile::decodeName(url.c_str()), rules);
}

/// What the favourites file holds at this moment.
struct FileContents {
  enum class State { missing, read, damaged } state = State::missing;
  std::set<std::string> ids;
};

FileContents readContents(const std::filesystem::path &url) {
  const platform::saferead::Outcome outcome = readFavoritesFile(url);
  if (!outcome.bytes) {
    if (outcome.refusal.isEmpty()) {
      return {};
    }
    logLine(QStringLiteral("favourites file not read: %1").arg(outcome.refusal));
    return {FileContents::State::damaged, {}};
  }
  auto ids = FavoriteStore::decode(std::string_view(
      outcome.bytes->constData(), static_cast<std::size_t>(outcome.bytes->size())));
  if (!ids) {
    return {FileContents::State::damaged, {}};
  }
  return {FileContents::State::read, std::move(*ids)};
}

} // namespace

std::filesystem::path FavoriteStore::defaultURL() {
  return AnalysisCache::defaultDirectory() / "favorites.json";
}

FavoriteStore FavoriteStore::load() { return load(defaultURL()); }

FavoriteStore FavoriteStore::load(const std::filesystem::path &url) {
  FavoriteStore store;
  store.m_url = url;
  store.m_ids = readContents(url).ids;
  return store;
}

bool FavoriteStore::insert(const std::string &id) {
  m_changes[id] = true;
  return m_ids.insert(id).second;
}

bool FavoriteStore::remove(const std::string &id) {
  m_changes[id] = false;
  return m_ids.erase(id) > 0;
}

std::optional<std::set<std::string>> FavoriteStore::decode(std::string_view json) {
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(
      QByteArray::fromRawData(json.data(), static_cast<qsizetype>(json.size())), &error);
  if (error.error != QJsonParseError::NoError || !document.isArray()) {
    return std::nullopt;
  }
  std::set<std::string> ids;
  for (const QJsonValue &value : document.array()) {
    if (!value.isString()) {
      return std::nullopt;
    }
    ids.insert(value.toString().toUtf8().toStdString());
  }
  return ids;
}

std::string FavoriteStore::encode(const std::set<std::string> &ids) {
  std::string out = "[";
  for (const std::string &id : ids) {
    if (!isUtf8(id)) {
      Diagnostics::log(
          QStringLiteral("app"),
          QStringLiteral("favourite not saved (path is not UTF-8): %1").arg(logline::fileName(id)));
      continue;
    }
    if (out.size() > 1) {
      out.push_back(',');
    }
    appendJsonString(out, id);
  }
  out.push_back(']');
  return out;
}

Expected<void, FavoriteSaveError> FavoriteStore::set(const std::string &id, bool favorite) {
  const bool was = contains(id);
  const auto pending = m_changes.find(id);
  const std::optional<bool> change =
      pending == m_changes.end() ? std::nullopt : std::optional(pending->second);
  if (favorite) {
    insert(id);
  } else {
    remove(id);
  }
  auto saved = save();
  if (!saved) {
    if (was) {
      m_ids.insert(id);
    } else {
      m_ids.erase(id);
    }
    if (change) {
      m_changes[id] = *change;
    } else {
      m_changes.erase(id);
    }
  }
  return saved;
}

Expected<platform::FileLock, FavoriteSaveError> FavoriteStore::lockFile() const {
  const std::filesystem::path path = m_url.native() + ".lock";
  platform::FileLock lock = platform::FileLock::acquire(path);
  if (!lock.refusal().isEmpty()) {
    logLine(QStringLiteral("favourites lock %1 was %2; %3")
                .arg(qtPath(path), lock.refusal(),
                     lock.isHeld() ? QStringLiteral("replaced by a new file")
                                   : QStringLiteral("left in place")));
  }
  if (lock.isHeld()) {
    return lock;
  }
  const QString detail =
      QStringLiteral("lock %1: %2")
          .arg(qtPath(path), lock.refusal().isEmpty()
                                 ? QString::fromLocal8Bit(std::strerror(lock.error()))
                                 : lock.refusal());
  logLine(QStringLiteral("favourites not saved: %1").arg(detail));
  const FavoriteSaveError::Kind kind = FavoriteSaveError::kindOfError(lock.error());
  return Unexpected<FavoriteSaveError>{FavoriteSaveError{
      kind == FavoriteSaveError::Kind::other ? FavoriteSaveError::Kind::locked : kind, detail}};
}

Expected<void, FavoriteSaveError> FavoriteStore::save() {
  const auto lock = lockFile();
  if (!lock) {
    return Unexpected<FavoriteSaveError>{lock.error()};
  }
  std::optional<std::set<std::string>> merged = mergedWithFile();
  if (!merged) {
    return Unexpected<FavoriteSaveError>{FavoriteSaveError{
        FavoriteSaveError::Kind::other, QStringLiteral("unreadable file left in place")}};
  }
  const std::string json = encode(*merged);
  if (auto written = platform::atomicwrite::replace(m_url, json); !written) {
    const int error = errno;
    logLine(QStringLiteral("favourites not saved: %1").arg(written.error()));
    return Unexpected<FavoriteSaveError>{
        FavoriteSaveError{FavoriteSaveError::kindOfError(error), written.error()}};
  }
  m_ids = std::move(*merged);
  m_changes.clear();
  return {};
}

std::optional<std::set<std::string>> FavoriteStore::mergedWithFile() {
  FileContents contents = readContents(m_url);
  if (contents.state == FileContents::State::damaged) {
    if (!moveDamagedFileAside()) {
      return std::nullopt;
    }
    return m_ids;
  }
  if (contents.state == FileContents::State::missing) {
    return m_ids;
  }
  for (const auto &[id, favourite] : m_changes) {
    if (favourite) {
      contents.ids.insert(id);
    } else {
      contents.ids.erase(id);
    }
  }
  return std::move(contents.ids);
}

bool FavoriteStore::moveDamagedFileAside() {
  const QString path = qtPath(m_url);
  if (!entryExists(path)) {
    return true;
  }
  for (int copy = 1; copy <= kMaxDamagedCopies; ++copy) {
    const QString aside = path + QStringLiteral(".damaged") +
                          (copy == 1 ? QString() : QStringLiteral("-%1").arg(copy));
    // Renamed, not copied: a link moves aside as a link and its target stays untouched.
    if (!entryExists(aside) &&
        ::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) == 0) {
      logLine(QStringLiteral("favourites file could not be read; kept as %1").arg(aside));
      return true;
    }
  }
  logLine(QStringLiteral("favourites file could not be read nor moved aside; not saved"));
  return false;
}

} // namespace lumora
