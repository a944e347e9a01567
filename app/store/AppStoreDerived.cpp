// Derived values of the published state, and the scroll-activity flag.
#include "app/store/AppStore.h"
#include "app/store/texts/Fmt.h"
#include "app/store/texts/Localized.h"
#include "engine/util/Numeric.h"

#include <algorithm>

namespace lumora {
namespace {

QString boolText(bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); }

std::int64_t victims(const PhotoGroup &group) {
  return std::max<std::int64_t>(group.count() - 1, 0);
}

} // namespace

std::int64_t AppStore::scannedTotalCount() const {
  if (m_progress && m_progress->total > 0) {
    return m_progress->total;
  }
  if (m_lastResult && m_lastResult->fileCount > 0) {
    return m_lastResult->fileCount;
  }
  return static_cast<std::int64_t>(m_items.size());
}

std::int64_t AppStore::totalReclaimableBytes() const {
  std::int64_t total = 0;
  for (const PhotoGroup &group : m_groups) {
    total = numeric::addBytes(total, group.reclaimableBytes());
  }
  return total;
}

std::int64_t AppStore::totalCleanableCount() const {
  std::int64_t total = 0;
  for (const PhotoGroup &group : m_groups) {
    total += victims(group);
  }
  return total;
}

QString AppStore::progressHeadline() const {
  if (!m_progress) {
    return localized::string("正在准备…");
  }
  const ScanProgress &progress = *m_progress;
  const bool library = m_sourceKind == SourceKind::library;
  switch (progress.phase) {
  case ScanPhase::enumerating:
    if (progress.done < 1) {
      return localized::string(library ? "正在读取「照片」图库…" : "正在查找照片文件…");
    }
    return library
               ? localized::format("已读取 %@ 张图库照片，正在准备分析…",
                                   "已读取 %@ 张图库照片，正在准备分析…",
                                   {Fmt::number(progress.done)})
               : localized::format("已找到 %@ 张照片，正在准备分析…",
                                   "已找到 %@ 张照片，正在准备分析…", {Fmt::number(progress.done)});
  case ScanPhase::analyzing: {
    if (progress.total < 1) {
      return localized::string("正在分析照片…");
    }
    const QString counts =
        localized::format("正在分析 %@ / %@", "正在分析 %@ / %@",
                          {Fmt::number(progress.done), Fmt::number(progress.total)});
    if (!progress.eta) {
      return counts + localized::string(" · 正在估算剩余时间");
    }
    const double eta = m_smoothedETA.value_or(*progress.eta);
    return counts + localized::format(" · 预计剩余 %@", " · 预计剩余 %@", {Fmt::duration(eta)});
  }
  case ScanPhase::finishing: return localized::string("正在整理分组结果…");
  }
  return {};
}

QString AppStore::phaseDescription() const {
  if (!m_progress) {
    return QStringLiteral("正在准备…");
  }
  switch (m_progress->phase) {
  case ScanPhase::enumerating:
    return localized::string(m_sourceKind == SourceKind::folder ? "枚举文件" : "读取图库");
  case ScanPhase::analyzing: return localized::string("逐张分析");
  case ScanPhase::finishing: return localized::string("收尾");
  }
  return {};
}

QString AppStore::phaseToken() const {
  switch (m_phase.kind) {
  case Phase::Kind::idle: return QStringLiteral("idle");
  case Phase::Kind::scanning: return QStringLiteral("scanning");
  case Phase::Kind::failed: {
    const std::string_view name = Failure::kindName(m_phase.failure.kind);
    return QStringLiteral("failed-") +
           QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
  }
  case Phase::Kind::ready:
    return QStringLiteral("ready-") + boolText(m_isPaused) + QLatin1Char('-') +
           boolText(m_items.empty()) + QLatin1Char('-') + boolText(m_groups.empty());
  }
  return {};
}

std::optional<PhotoItem> AppStore::previewItem() const {
  if (!m_previewContext) {
    return std::nullopt;
  }
  const std::optional<PhotoGroup> shown = group(m_previewContext->groupID);
  const std::int64_t index = m_previewContext->index;
  if (!shown || index < 0 || index >= shown->count()) {
    return std::nullopt;
  }
  return shown->items[static_cast<std::size_t>(index)];
}

QString AppStore::previewPositionText() const {
  if (!m_previewContext) {
    return {};
  }
  const std::optional<PhotoGroup> shown = group(m_previewContext->groupID);
  if (!shown) {
    return {};
  }
  return QString::number(numeric::saturatingAdd(m_previewContext->index, 1)) +
         QStringLiteral(" / ") + QString::number(shown->count());
}

std::optional<PhotoGroup> AppStore::group(const std::string &id) const {
  const auto found =
      std::find_if(m_groups.begin(), m_groups.end(),
                   [&id](const PhotoGroup &candidate) { return candidate.id == id; });
  if (found == m_groups.end()) {
    return std::nullopt;
  }
  return *found;
}

void AppStore::pinGroupCountShown(const QObject *owner, bool pinned) {
  Q_ASSERT(owner != nullptr);
  if (!pinned) {
    if (m_groupCountPins.erase(owner) > 0) {
      disconnect(owner, &QObject::destroyed, this, nullptr);
      followGroupCount();
    }
    return;
  }
  if (m_groupCountPins.insert(owner).second) {
    connect(owner, &QObject::destroyed, this, [this, owner] { pinGroupCountShown(owner, false); });
  }
}

void AppStore::followGroupCount() {
  if (m_groupCountPins.empty() && m_groupCountShown != m_groups.size()) {
    m_groupCountShown = m_groups.size();
    emit groupCountShownChanged();
  }
}

void AppStore::noteScrollActivity() {
  setIsScrolling(true);
  m_scrollIdleTimer.start();
}

} // namespace lumora
