#include "engine/favorites/FavoriteStore.h"

#include "engine/cache/AnalysisCache.h"
#include "engine/diagnostics/Diagnostics.h"
#include "engine/diagnostics/LoggedName.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QStringDecoder>

namespace lumora {
namespace {

constexpr int kMaxDamagedCopies = 100;

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

} // namespace

std::filesystem::path FavoriteStore::defaultURL() {
  return AnalysisCache::defaultDirectory() / "favorites.json";
}

FavoriteStore FavoriteStore::load() { return load(defaultURL()); }

FavoriteStore FavoriteStore::load(const std::filesystem::path &url) {
  FavoriteStore store;
  store.m_url = url;
  QFile file(qtPath(url));
  if (!file.exists()) {
    return store;
  }
  const bool opened = file.open(QIODevice::ReadOnly);
  const QByteArray bytes = opened ? file.readAll() : QByteArray();
  auto ids = opened ? decode(std::string_view(bytes.constData(), bytes.size())) : std::nullopt;
  if (ids) {
    store.m_ids = std::move(*ids);
  } else {
    store.m_damagedFileInPlace = true;
  }
  return store;
}

std::optional<std::set<std::string>> FavoriteStore::decode(std::string_view json) {
  QJsonParseError error{};
  const QJsonDocument document =
      QJsonDocument::fromJson(QByteArray(json.data(), static_cast<qsizetype>(json.size())), &error);
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

void FavoriteStore::save() {
  if (m_damagedFileInPlace && !moveDamagedFileAside()) {
    return;
  }
  const std::string json = encode(m_ids);
  QSaveFile file(qtPath(m_url));
  if (!file.open(QIODevice::WriteOnly)) {
    return;
  }
  file.write(json.data(), static_cast<qint64>(json.size()));
  (void)file.commit();
}

bool FavoriteStore::moveDamagedFileAside() {
  const QString path = qtPath(m_url);
  if (!QFile::exists(path)) {
    m_damagedFileInPlace = false;
    return true;
  }
  for (int copy = 1; copy <= kMaxDamagedCopies; ++copy) {
    const QString aside = path + QStringLiteral(".damaged") +
                          (copy == 1 ? QString() : QStringLiteral("-%1").arg(copy));
    if (!QFile::exists(aside) && QFile::rename(path, aside)) {
      Diagnostics::log(QStringLiteral("app"),
                       QStringLiteral("favourites file could not be read; kept as %1").arg(aside));
      m_damagedFileInPlace = false;
      return true;
    }
  }
  Diagnostics::log(QStringLiteral("app"),
                   QStringLiteral("favourites file could not be read nor moved aside; not saved"));
  return false;
}

} // namespace lumora
