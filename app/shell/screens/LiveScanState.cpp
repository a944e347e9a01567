#include "app/shell/screens/LiveScanState.h"

#include "app/store/AppStore.h"
#include "app/store/texts/Fmt.h"
#include "app/store/texts/Localized.h"

#include <algorithm>

namespace lumora::livescanstate {
namespace {

// Shown as written, never looked up.
const char kPausing[] = "正在暂停…";

QString analysingHeadline(const Counts &n) {
  if (n.photos < n.total) {
    return localized::format("正在分析 %@ / %@ 张 · 已发现 %@ 组",
                             "正在分析 %@ / %@ 张 · 已发现 %@ 组",
                             {Fmt::number(n.photos), Fmt::number(n.total), Fmt::number(n.groups)});
  }
  return localized::format("正在分析 %@ 张 · 已发现 %@ 组", "正在分析 %@ 张 · 已发现 %@ 组",
                           {Fmt::number(n.photos), Fmt::number(n.groups)});
}

QString scanningHeadline(const AppStore &store, const Counts &n) {
  const std::optional<ScanProgress> &progress = store.progress();
  if (isPausing(store)) {
    return QString::fromUtf8(kPausing);
  }
  if (progress && progress->phase == ScanPhase::enumerating) {
    return localized::string("正在查找照片…");
  }
  if (progress && progress->phase == ScanPhase::finishing) {
    return localized::string("正在保存结果…");
  }
  return analysingHeadline(n);
}

} // namespace

bool isPausing(const AppStore &store) {
  // A cancelled scan is paused before its phase ends, once its groups are refreshed: until
  // then it is still pausing, not scanning on.
  return store.phase().isScanning() && (store.isPauseRequested() || store.isPaused());
}

Counts counts(const AppStore &store) {
  return {static_cast<std::int64_t>(store.items().size()), store.scannedTotalCount(),
          static_cast<std::int64_t>(store.groupCountShown())};
}

QString headline(const AppStore &store) {
  const Counts n = counts(store);
  if (store.phase().isScanning()) {
    return scanningHeadline(store, n);
  }
  if (!store.isPaused()) {
    // A scan that ran to its end: its last count, never a pause that did not happen.
    return analysingHeadline(n);
  }
  if (n.photos < n.total) {
    return localized::format("已暂停 · 已分析 %@ / %@ 张", "已暂停 · 已分析 %@ / %@ 张",
                             {Fmt::number(n.photos), Fmt::number(n.total)});
  }
  return localized::format("已暂停 · 已分析 %@ 张", "已暂停 · 已分析 %@ 张",
                           {Fmt::number(n.photos)});
}

BarForm barForm(const AppStore &store, bool reduceMotion) {
  if (!store.phase().isScanning() && !store.isPaused()) {
    return BarForm::hidden;
  }
  const Counts n = counts(store);
  if (n.total >= 1 && n.photos <= n.total) {
    return BarForm::determinate;
  }
  return reduceMotion ? BarForm::still : BarForm::indeterminate;
}

double fraction(const AppStore &store) {
  const Counts n = counts(store);
  if (n.total < 1) {
    return 0.0;
  }
  return std::clamp(static_cast<double>(n.photos) / static_cast<double>(n.total), 0.0, 1.0);
}

QString findingText(const AppStore &store) {
  return localized::format("已发现 %@ 张照片，正在寻找相似组…", "已发现 %@ 张照片，正在寻找相似组…",
                           {Fmt::number(counts(store).photos)});
}

QString pausedDetail(const AppStore &store) {
  const Counts n = counts(store);
  const char *format = "已分析 %@ / %@ 张，还没有找到相似组。继续扫描可以补齐剩余 %@ 张。";
  return localized::format(format, format,
                           {Fmt::number(n.photos), Fmt::number(n.total),
                            Fmt::number(std::max<std::int64_t>(n.total - n.photos, 0))});
}

} // namespace lumora::livescanstate
