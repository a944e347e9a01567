#include "app/detail/DetailTexts.h"

#include "app/store/texts/Fmt.h"
#include "app/store/texts/Localized.h"
#include "app/store/texts/Texts.h"

#include <QStringList>

namespace lumora::detailtexts {
namespace {

const QString kSeparator = QStringLiteral(" · ");

bool isLibrary(Source source) { return source == Source::library; }

QString reclaimText(const PhotoGroup &group) {
  return localized::format("可释放 %@", "可释放 %@", {Fmt::byteCount(group.reclaimableBytes())});
}

} // namespace

QString photoName(const PhotoItem &item) {
  // The literal: a library photo is never named by a translated text here.
  return item.localIdentifier ? QStringLiteral("图库照片") : item.url.fileName();
}

std::int64_t victimCount(const PhotoGroup &group) {
  return std::max<std::int64_t>(group.count() - 1, 0);
}

QString headerSubtitle(const PhotoGroup &group) {
  QStringList parts{localized::format("拍摄于 %@", "拍摄于 %@", {Fmt::mediumDate(group.date())}),
                    localized::format("共 %@ 张", "共 %@ 张", {group.count()})};
  if (group.reclaimableBytes() >= 1) {
    parts << reclaimText(group);
  }
  return parts.join(kSeparator);
}

QString deletionHint(Source source) {
  return isLibrary(source) ? localized::string("删除会进入「最近删除」，30 天内可恢复")
                           : localized::string("删除会进入 Finder 废纸篓，可恢复");
}

QString reasonText(const PhotoGroup &group) {
  const SelectionReason reason = group.bestReason();
  QString text =
      localized::format("reason.cardTitle", "为什么选它：%@", {texts::reasonHeadline(reason)});
  const QStringList lines = texts::reasonDetailLines(reason);
  if (!lines.isEmpty()) {
    text += kSeparator + lines.first();
  }
  return text;
}

QString actionTitle(const PhotoGroup &group, Source source) {
  const std::int64_t count = victimCount(group);
  return isLibrary(source) ? texts::keepBestLibraryText(count) : texts::keepBestTrashText(count);
}

QString actionSubtitle(const PhotoGroup &group, Source source) {
  const std::optional<PhotoItem> best = group.best();
  QStringList parts{localized::format("保留得分最高的那张（%@ 分）", "保留得分最高的那张（%@ 分）",
                                      {best ? best->displayScoreText() : QStringLiteral("-")})};
  if (group.reclaimableBytes() >= 1) {
    parts << reclaimText(group);
  }
  parts << (isLibrary(source) ? localized::string("删除后 30 天内可在「最近删除」恢复")
                              : localized::string("删除后可在 Finder 废纸篓恢复"));
  return parts.join(kSeparator);
}

QString cleanupAccessibilityHint(Source source) {
  return isLibrary(source) ? localized::string("移入照片 App 的最近删除")
                           : localized::string("移入废纸篓");
}

QString cleanupTitle(std::int64_t count, Source source) {
  // The keys carry "%lld", which our formatter does not fill; the translation table has no
  // entry for them, so the defaults, written with "%d", show.
  return isLibrary(source)
             ? localized::format("把 %lld 张照片移入「最近删除」？",
                                 "把 %d 张照片移入「最近删除」？", {count})
             : localized::format("清理这 %lld 张照片？", "清理这 %d 张照片？", {count});
}

QString cleanupConfirmButton(Source source) {
  return isLibrary(source) ? localized::string("移入「最近删除」")
                           : localized::string("移入废纸篓");
}

QString cleanupMessage(const PhotoGroup &group, Source source) {
  const std::optional<PhotoItem> best = group.best();
  const QString kept = best ? photoName(*best) : localized::string("最佳照片");
  const std::int64_t count = victimCount(group);
  return isLibrary(source)
             ? localized::format(
                   "会保留「%@」，其余 %@ 张进入「照片」App 的「最近删除」，30 天内可以恢复。",
                   "会保留「%@」，其余 %@ 张进入「照片」App 的「最近删除」，30 天内可以恢复。",
                   {kept, count})
             : localized::format(
                   "会保留「%@」，其余 %@ 张移到废纸篓，之后可以在 Finder 的废纸篓里恢复。",
                   "会保留「%@」，其余 %@ 张移到废纸篓，之后可以在 Finder 的废纸篓里恢复。",
                   {kept, count});
}

QString deleteMessage(const PhotoItem &item, Source source) {
  return isLibrary(source)
             ? localized::format("「%@」会进入「照片」App 的「最近删除」，30 天内可以恢复。",
                                 "「%@」会进入「照片」App 的「最近删除」，30 天内可以恢复。",
                                 {photoName(item)})
             : localized::format("「%@」会移到废纸篓，可以在 Finder 里恢复。",
                                 "「%@」会移到废纸篓，可以在 Finder 里恢复。", {photoName(item)});
}

QString tileAccessibleName(const PhotoItem &item, bool focused, bool best) {
  // The full-width comma is part of the label as it stands, not a translated text.
  const QString comma = QStringLiteral("，");
  QString label;
  if (focused) {
    label += localized::string("已选中该组") + comma;
  }
  if (best) {
    label += localized::string("本组最佳") + comma;
  }
  return label + localized::format("照片，%@ 分，%@", "照片，%@ 分，%@",
                                   {item.displayScoreText(), texts::tierLabel(item.tier())});
}

QString tileToolTip(const PhotoItem &item) {
  return QStringList{
      item.fileName(),
      localized::format("美学分 %@（%@）", "美学分 %@（%@）",
                        {item.displayScoreText(), texts::tierLabel(item.tier())}),
      localized::format("拍摄于 %@", "拍摄于 %@", {Fmt::mediumDateTime(item.captureDate)})}
      .join(kSeparator);
}

QString favoriteHelp(bool favorite) {
  return favorite ? localized::string("取消收藏")
                  : localized::string("收藏（图库来源会写回「照片」App）");
}

QString favoriteAccessibleName(bool favorite) {
  return favorite ? localized::string("取消收藏") : localized::string("收藏这张照片");
}

} // namespace lumora::detailtexts
