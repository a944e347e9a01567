#include "app/results/GroupCardTexts.h"

#include "app/store/texts/Fmt.h"
#include "app/store/texts/Localized.h"
#include "app/store/texts/ScoreDisplay.h"
#include "app/store/texts/Texts.h"
#include "engine/util/Numeric.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace lumora::groupcardtexts {
namespace {

// A format whose key is also its default text, filled with string arguments.
QString fill(const char *key, std::initializer_list<FormatArg> args) {
  return localized::format(key, key, args);
}

QString decimal(std::int64_t value) { return QString::number(value); }

bool isLibrary(SourceKind source) { return source == SourceKind::library; }

} // namespace

std::int64_t candidateCount(const PhotoGroup &group) {
  return std::max<std::int64_t>(group.count() - 1, 0);
}

QString countChip(std::int64_t count) { return fill("%@ 张相似", {decimal(count)}); }

QString hoverChip(bool selecting, bool selected) {
  if (!selecting) {
    return localized::string("查看详情");
  }
  return localized::string(selected ? "取消选择" : "选择");
}

QString titleCount(const PhotoGroup &group) { return fill("%@ 张", {decimal(group.count())}); }

QString titleReclaimable(const PhotoGroup &group) {
  const std::int64_t bytes = group.reclaimableBytes();
  return bytes > 0 ? fill("可释放 %@", {Fmt::byteCount(bytes)}) : QString();
}

QString accessibleName(const PhotoGroup &group, bool selected) {
  const std::optional<PhotoItem> best = group.best();
  QString name =
      fill("相似组，%@ 张，最佳 %@ 分，%@",
           {decimal(group.count()), best ? best->displayScoreText() : QStringLiteral("-"),
            Fmt::mediumDate(group.date())});
  if (selected) {
    name += QStringLiteral("，") + localized::string("已选中");
  }
  return name;
}

QString accessibleHint(bool selecting) {
  return localized::string(selecting ? "点击选择该组" : "点击查看组详情");
}

QString heroHelp(const PhotoGroup &group, bool selecting) {
  const std::optional<PhotoItem> best = group.best();
  const QString name = best ? best->fileName() : QStringLiteral("这张照片");
  return QStringList{fill("最佳项：%@", {name}),
                     localized::format("reason.cardTitle", "为什么选它：%@",
                                       {texts::reasonHeadline(group.bestReason())}),
                     accessibleHint(selecting)}
      .join(u'\n');
}

QString sharpnessText(float sharpness) {
  // A damaged cache can hand over any float: clamp before converting, never cast blindly.
  if (!std::isfinite(sharpness)) {
    return QStringLiteral("—");
  }
  return decimal(numeric::truncatedInt(static_cast<double>(sharpness)));
}

QString itemHelp(const PhotoItem &item) {
  QStringList parts{item.fileName(),
                    fill("美学分 %@（%@）",
                         {scoredisplay::roundedScoreText(item), texts::tierLabel(item.tier())}),
                    fill("清晰度 %@", {sharpnessText(item.sharpness)}),
                    Fmt::mediumDateTime(item.captureDate)};
  if (item.fileSize >= 1) {
    parts << Fmt::byteCount(item.fileSize);
  }
  return parts.join(QStringLiteral(" · "));
}

QString tileAccessibleName(const PhotoItem &item) {
  return fill("照片，%@ 分，%@",
              {scoredisplay::roundedScoreText(item), texts::tierLabel(item.tier())});
}

QString overflowText(std::int64_t hidden) { return localized::format("+%d", "+%d", {hidden}); }

QString overflowHelp(std::int64_t hidden) { return fill("还有 %@ 张候选照片", {decimal(hidden)}); }

QString cleanupTitle(SourceKind source, std::int64_t candidates) {
  return isLibrary(source) ? texts::moveToRecentlyDeletedText(candidates)
                           : texts::cleanupMoreText(candidates);
}

QString cleanupAccessibleName(std::int64_t candidates) {
  return fill("清理 %@ 张相似照片", {decimal(candidates)});
}

QString cleanupCaption(SourceKind source) {
  return localized::string(isLibrary(source) ? "进入「照片」App 的「最近删除」，30 天内可恢复"
                                             : "移入废纸篓，可在 Finder 中恢复");
}

QString cleaningTitle() { return localized::string("正在清理…"); }

QString confirmTitle(SourceKind source, std::int64_t candidates) {
  return isLibrary(source) ? fill("把 %@ 张照片移入「最近删除」？", {decimal(candidates)})
                           : fill("清理这 %@ 张照片？", {decimal(candidates)});
}

QString confirmButton(SourceKind source, std::int64_t reclaimableBytes) {
  return isLibrary(source) ? localized::string("移入「最近删除」")
                           : fill("移入废纸篓（%@）", {Fmt::byteCount(reclaimableBytes)});
}

QString confirmMessage(SourceKind source, const PhotoGroup &group) {
  const std::optional<PhotoItem> best = group.best();
  const QString name = best ? best->fileName() : QStringLiteral("这张照片");
  const QString count = decimal(candidateCount(group));
  return isLibrary(source) ? fill("会保留得分最高的「%@」，其余 %@ 张进入「照片」App "
                                  "的「最近删除」，30 天内可以恢复。",
                                  {name, count})
                           : fill("会保留得分最高的「%@」，其余 %@ 张移到废纸篓。之后可以在 Finder "
                                  "的废纸篓里恢复。",
                                  {name, count});
}

QString menuDetail() { return localized::string("查看组详情"); }
QString menuReveal() { return localized::string("在访达中显示最佳照片"); }
QString menuOpenBest() { return localized::string("用「预览」打开最佳照片"); }
QString menuOpenLibrary() { return localized::string("打开「照片」App"); }

QString menuCleanup(SourceKind source, std::int64_t candidates) {
  return cleanupTitle(source, candidates) + QStringLiteral("…");
}

} // namespace lumora::groupcardtexts
