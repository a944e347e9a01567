#include "engine/model/PhotoItem.h"

#include <QFileInfo>
#include <functional>
#include <random>

namespace lumora {

PhotoItem::PhotoItem(std::string id_, QUrl url_, float score_, bool isUtility_, float sharpness_,
                     std::int64_t fileSize_, Date modified_, std::vector<float> feature_,
                     std::optional<std::string> localIdentifier_, std::optional<Date> captureDate_,
                     bool isFavorite_)
    : id(std::move(id_)), url(std::move(url_)), score(score_), isUtility(isUtility_),
      sharpness(sharpness_), fileSize(fileSize_), modified(modified_),
      captureDate(captureDate_.value_or(modified_)), feature(std::move(feature_)),
      localIdentifier(std::move(localIdentifier_)), isFavorite(isFavorite_) {}

QString PhotoItem::fileName() const {
  if (localIdentifier) {
    return QStringLiteral("图库照片");
  }
  return url.fileName(QUrl::FullyDecoded);
}

double PhotoItem::displayScore() const { return (static_cast<double>(score) + 1.0) * 5.0; }

QString PhotoItem::displayScoreText() const { return QString::asprintf("%.1f", displayScore()); }

ScoreTier PhotoItem::tier() const { return scoretier::forDisplayScore(displayScore()); }

PhotoItem PhotoItem::withFavorite(bool favorite) const {
  PhotoItem copy = *this;
  copy.isFavorite = favorite;
  return copy;
}

PhotoItem PhotoItem::droppingFeature() const {
  PhotoItem copy = *this;
  copy.feature = {};
  return copy;
}

PhotoItem PhotoItem::preview(int n) {
  static thread_local std::mt19937 rng{std::random_device{}()};
  const std::string path = "/tmp/preview-" + std::to_string(n) + ".jpg";
  const Date now = Date::now();
  return PhotoItem(path, QUrl::fromLocalFile(QString::fromStdString(path)),
                   std::uniform_real_distribution<float>(-0.2f, 0.9f)(rng), false,
                   std::uniform_real_distribution<float>(100.f, 3000.f)(rng), 2400000, now, {},
                   std::nullopt, now, false);
}

namespace {
void mix(std::size_t &seed, std::size_t value) {
  seed ^= value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
}
} // namespace

std::size_t PhotoItemHash::operator()(const PhotoItem &item) const {
  std::size_t seed = std::hash<std::string>{}(item.id);
  mix(seed, qHash(item.url));
  mix(seed, std::hash<float>{}(item.score));
  mix(seed, std::hash<bool>{}(item.isUtility));
  mix(seed, std::hash<float>{}(item.sharpness));
  mix(seed, std::hash<std::int64_t>{}(item.fileSize));
  mix(seed, std::hash<double>{}(item.modified.secondsSince1970));
  mix(seed, std::hash<double>{}(item.captureDate.secondsSince1970));
  for (float value : item.feature) {
    mix(seed, std::hash<float>{}(value));
  }
  mix(seed, item.localIdentifier ? std::hash<std::string>{}(*item.localIdentifier) : 0);
  mix(seed, std::hash<bool>{}(item.isFavorite));
  mix(seed, std::hash<std::uint64_t>{}(item.device));
  mix(seed, std::hash<std::uint64_t>{}(item.inode));
  return seed;
}

} // namespace lumora
