#pragma once

#include <QString>
#include <QUrl>

namespace lumora {

/// The engine's own error, with a fixed Chinese description.
struct CuratorError {
  enum class Kind { noImagesFound, unreadable, cacheWriteFailed, visionUnavailable };

  Kind kind = Kind::unreadable;
  /// The folder or file concerned (noImagesFound, unreadable).
  QUrl url;
  /// The failure's own message (cacheWriteFailed).
  QString message;

  static CuratorError noImagesFound(QUrl folder) {
    return {Kind::noImagesFound, std::move(folder), {}};
  }
  static CuratorError unreadable(QUrl file) { return {Kind::unreadable, std::move(file), {}}; }
  static CuratorError cacheWriteFailed(QString why) {
    return {Kind::cacheWriteFailed, {}, std::move(why)};
  }
  static CuratorError visionUnavailable() { return {Kind::visionUnavailable, {}, {}}; }

  [[nodiscard]] QString errorDescription() const;
  bool operator==(const CuratorError &) const = default;
};

} // namespace lumora
