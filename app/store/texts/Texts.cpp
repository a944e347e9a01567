#include "app/store/texts/Texts.h"

#include "app/store/texts/Fmt.h"
#include "app/store/texts/Localized.h"

#include <algorithm>
#include <cmath>

namespace lumora::texts {
namespace {

// The English keys double as their own defaults; the table holds the Chinese texts.
QString countText(std::int64_t count, const char *singular, const char *plural) {
  if (count == 1) {
    return localized::string(singular, singular);
  }
  return localized::format(plural, plural, {count});
}

// The sharpness percent is deliberately not shown: the scores are what is close. The best
// photo may score a little lower than another one; each format carries its own sign, so
// the lower case fills the magnitude, and a gain that prints as 0.0 reads +0.0.
QString sharperButCloseHeadline(double gain) {
  if (std::round(gain * 10.0) < 0) {
    return localized::format("reason.sharperButCloseLower", "更清晰，分数接近（-%.1f 分）",
                             {-gain});
  }
  return localized::format("reason.sharperButClose", "更清晰，分数接近（+%.1f 分）",
                           {std::max(gain, 0.0)});
}

// Up to three names in corner quotes, then "等" for the rest.
QString quotedList(const QStringList &names) {
  constexpr qsizetype kNamed = 3;
  QStringList quoted;
  for (const QString &name : names.first(std::min(kNamed, names.size()))) {
    quoted.append(QStringLiteral("「") + name + QStringLiteral("」"));
  }
  return quoted.join(QStringLiteral("、")) +
         (names.size() > kNamed ? QStringLiteral("等") : QString());
}

} // namespace

QString tooLargeNote(const std::optional<ScanResult> &last) {
  if (!last) {
    return {};
  }
  const std::int64_t tooLarge =
      std::clamp<std::int64_t>(last->tooLargeCount, 0, last->skippedCount);
  const std::int64_t pixels = std::clamp<std::int64_t>(last->tooManyPixelsCount, 0, tooLarge);
  const std::int64_t memory = tooLarge - pixels;
  QStringList notes;
  if (memory >= 1) {
    const char *key = "跳过 %@ 张过大的照片（解码所需内存超出本机上限）";
    notes.append(localized::format(key, key, {Fmt::number(memory)}));
  }
  if (pixels >= 1) {
    const char *key = "跳过 %@ 张过大的照片（像素数超出可处理的上限）";
    notes.append(localized::format(key, key, {Fmt::number(pixels)}));
  }
  return notes.join(QStringLiteral(" · "));
}

QString leftInPlaceText(const QStringList &names) {
  if (names.isEmpty()) {
    return {};
  }
  if (names.size() == 1) {
    return localized::format("「%@」在扫描之后被改动或换成了别的文件，为了不误删，它留在了原处。"
                             "重新扫描后可以再处理。",
                             "「%@」在扫描之后被改动或换成了别的文件，为了不误删，它留在了原处。"
                             "重新扫描后可以再处理。",
                             {names.front()});
  }
  return localized::format(
      "有 %@ 张照片在扫描之后被改动或换成了别的文件，为了不误删，它们留在了原处：%@。"
      "重新扫描后可以再处理。",
      "有 %@ 张照片在扫描之后被改动或换成了别的文件，为了不误删，它们留在了原处：%@。"
      "重新扫描后可以再处理。",
      {static_cast<std::int64_t>(names.size()), quotedList(names)});
}

QString displacedText(const QStringList &names) {
  if (names.isEmpty()) {
    return {};
  }
  if (names.size() == 1) {
    return localized::format(
        "清理「%@」时，另一个程序在它的名字下存了别的文件，那个文件没能放回原处，已移到废纸篓；"
        "照片本身没有被移动。原处的名字空着时，点“撤销”可以把那个文件放回。",
        "清理「%@」时，另一个程序在它的名字下存了别的文件，那个文件没能放回原处，已移到废纸篓；"
        "照片本身没有被移动。原处的名字空着时，点“撤销”可以把那个文件放回。",
        {names.front()});
  }
  return localized::format(
      "清理时，另一个程序在 %@ 张照片的名字下存了别的文件：%@。这些文件没能放回原处，"
      "已移到废纸篓；照片本身没有被移动。原处的名字空着时，点“撤销”可以把它们放回。",
      "清理时，另一个程序在 %@ 张照片的名字下存了别的文件：%@。这些文件没能放回原处，"
      "已移到废纸篓；照片本身没有被移动。原处的名字空着时，点“撤销”可以把它们放回。",
      {static_cast<std::int64_t>(names.size()), quotedList(names)});
}

QString cleanedText(std::int64_t count) {
  return countText(count, "Cleaned 1 photo", "Cleaned %d photos");
}

QString restoredText(std::int64_t count) {
  return countText(count, "Restored 1 photo", "Restored %d photos");
}

QString deletedText(std::int64_t count) {
  return countText(count, "Deleted 1 photo", "Deleted %d photos");
}

QString similarPhotoCountText(std::int64_t count) {
  return countText(count, "1 similar photo", "%d similar photos");
}

QString cleanupMoreText(std::int64_t count) {
  return countText(count, "Clean up 1 more photo", "Clean up %d more photos");
}

QString keepBestLibraryText(std::int64_t count) {
  return countText(count, "Keep the best; move 1 photo to Recently Deleted",
                   "Keep the best; move %d photos to Recently Deleted");
}

QString keepBestTrashText(std::int64_t count) {
  return countText(count, "Keep the best; move 1 photo to the Trash",
                   "Keep the best; move %d photos to the Trash");
}

QString moveToRecentlyDeletedText(std::int64_t count) {
  return countText(count, "Move 1 photo to Recently Deleted", "Move %d photos to Recently Deleted");
}

QString groupCountText(std::int64_t count) { return countText(count, "1 group", "%d groups"); }

QString photoCountText(std::int64_t count) { return countText(count, "1 photo", "%d photos"); }

QString similarityHint(float threshold) {
  // Compared in single precision, like the slider's value, so 0.24f itself is the
  // first value of the recommended band.
  if (threshold < 0.24f)
    return localized::string("严格：只合并几乎相同的连拍帧");
  if (threshold < 0.32f)
    return localized::string("推荐：同一次拍摄的多张");
  if (threshold < 0.42f)
    return localized::string("宽松：同一场景的不同时段");
  return localized::string("很宽松：可能误合并不同内容，慎用");
}

QString tierLabel(ScoreTier tier) {
  switch (tier) {
  case ScoreTier::great: return localized::string("出色");
  case ScoreTier::good: return localized::string("不错");
  case ScoreTier::fair: return localized::string("一般");
  case ScoreTier::poor: return localized::string("较差");
  }
  return localized::string("较差");
}

QString reasonHeadline(const SelectionReason &reason) {
  using Kind = SelectionReason::Kind;
  switch (reason.kind) {
  case Kind::sharpest:
    return localized::format("reason.sharpest", "本组最清晰（清晰度比其他高约 %d%%）",
                             {reason.percent});
  case Kind::highestScore:
    return localized::format("reason.highestScore", "本组美学分最高（比第 2 名高 %.1f 分）",
                             {reason.gain});
  case Kind::sharperButClose: return sharperButCloseHeadline(reason.gain);
  case Kind::single: return localized::string("reason.single", "本组只有一张");
  case Kind::combined: return localized::string("reason.combined", "综合表现最好");
  }
  return localized::string("reason.combined", "综合表现最好");
}

QStringList reasonDetailLines(const SelectionReason &reason) {
  if (reason.utilityAvoided < 1) {
    return {};
  }
  return {localized::format("reason.utilityAvoided", "组内有 %d 张更像截图/文档，已优先避开",
                            {reason.utilityAvoided})};
}

} // namespace lumora::texts
