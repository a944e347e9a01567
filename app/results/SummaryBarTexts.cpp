#include "app/results/SummaryBarTexts.h"

#include "app/store/texts/Fmt.h"
#include "app/store/texts/Localized.h"
#include "app/store/texts/Texts.h"

#include <algorithm>

namespace lumora::summarybartexts {
namespace {

QString fill(const char *key, std::initializer_list<FormatArg> args) {
  return localized::format(key, key, args);
}

bool isLibrary(SourceKind source) { return source == SourceKind::library; }

} // namespace

QString summaryTitle(SourceKind source, std::int64_t groups, std::int64_t reclaimableBytes,
                     std::int64_t cleanablePhotos) {
  return isLibrary(source)
             ? fill("%@ · %@ to move to Recently Deleted",
                    {texts::groupCountText(groups), texts::photoCountText(cleanablePhotos)})
             : fill("%@ · %@ reclaimable",
                    {texts::groupCountText(groups), Fmt::byteCount(reclaimableBytes)});
}

QString summarySubtitle(SourceKind source, const std::optional<ScanResult> &last) {
  QString line = localized::string(isLibrary(source)
                                       ? "清理的照片进入「照片」App 的「最近删除」，30 天内可恢复"
                                       : "清理的照片移到废纸篓，可在 Finder 中恢复");
  if (!last) {
    return line;
  }
  // A paused scan counts the files it never reached among the skipped ones: they are not
  // yet analysed, not damaged, and the paused banner already says how far it came. Photos
  // left out for their size are told apart: they are neither damaged nor small. The joiner
  // stays as it is in every language.
  const std::int64_t tooLarge =
      std::clamp<std::int64_t>(last->tooLargeCount, 0, last->skippedCount);
  const std::int64_t unreached =
      std::clamp<std::int64_t>(last->unreachedCount, 0, last->skippedCount - tooLarge);
  const std::int64_t failed = last->skippedCount - tooLarge - unreached;
  if (failed >= 1) {
    line += QStringLiteral(" · ") +
            fill("跳过 %@ 张未分析（iCloud 原图未下载、损坏或过小）", {Fmt::number(failed)});
  }
  if (const QString note = texts::tooLargeNote(last); !note.isEmpty()) {
    line += QStringLiteral(" · ") + note;
  }
  return line;
}

QString trashedText(std::int64_t trashed) { return fill("已清理 %@ 张", {Fmt::number(trashed)}); }

QString batchTitle(SourceKind source, std::int64_t groups, std::int64_t victims,
                   std::int64_t bytes) {
  return isLibrary(source) ? fill("%@ · %@ to clean up",
                                  {texts::groupCountText(groups), texts::photoCountText(victims)})
                           : fill("%@ · %@ to clean up · %@ freed",
                                  {texts::groupCountText(groups), texts::photoCountText(victims),
                                   Fmt::byteCount(bytes)});
}

QString batchSubtitle(SourceKind source) {
  return localized::string(
      isLibrary(source) ? "保留每组 1 张最佳，其余进「照片」App 的「最近删除」，30 天内可恢复"
                        : "保留每组 1 张最佳，其余移入废纸篓，可在 Finder 中恢复");
}

QString batchCleanupAccessibleName(std::int64_t victims) {
  return fill("清理已选的 %@ 张相似照片", {QString::number(victims)});
}

QString confirmTitle(SourceKind source, std::int64_t victims) {
  const QString count = QString::number(victims);
  return isLibrary(source) ? fill("把 %@ 张照片移入「最近删除」？", {count})
                           : fill("清理已选的 %@ 张照片？", {count});
}

QString confirmButton(SourceKind source, std::int64_t bytes) {
  return isLibrary(source) ? localized::string("移入「最近删除」")
                           : fill("移入废纸篓（%@）", {Fmt::byteCount(bytes)});
}

QString confirmMessage(SourceKind source, std::int64_t victims) {
  // The second line is not looked up; it names what this desktop has.
  const QString second =
      isLibrary(source)
          ? QStringLiteral("其余照片进入图库的「最近删除」，照片文件会一直留在图库文件夹里。")
          : QStringLiteral("其余照片移到废纸篓，可在文件管理器的废纸篓里恢复。");
  return fill("Will clean up %@ (keeping the best one in each group).\n%@",
              {texts::similarPhotoCountText(victims), second});
}

} // namespace lumora::summarybartexts
