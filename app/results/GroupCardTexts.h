#pragma once

#include "app/store/state/AppStoreTypes.h"
#include "engine/model/PhotoGroup.h"

#include <QString>
#include <cstdint>

/// The user texts of a group card: chips, title row, tooltips, accessibility texts, the
/// clean-up button, its confirmation and the context menu. Each looks its text up on every
/// call; counts are filled as plain decimal digits. GUI thread.
namespace lumora::groupcardtexts {

using SourceKind = AppStoreTypes::SourceKind;

/// The photos a clean-up of `group` removes: all but the best.
[[nodiscard]] std::int64_t candidateCount(const PhotoGroup &group);

/// "%@ 张相似", the chip at the hero's top-left.
[[nodiscard]] QString countChip(std::int64_t count);
/// "查看详情", or in selection mode "选择" / "取消选择".
[[nodiscard]] QString hoverChip(bool selecting, bool selected);
/// The title row's count, "%@ 张".
[[nodiscard]] QString titleCount(const PhotoGroup &group);
/// "可释放 %@"; empty when the group frees nothing.
[[nodiscard]] QString titleReclaimable(const PhotoGroup &group);

/// The hero's accessible name: count, best score and date, and whether it is selected.
[[nodiscard]] QString accessibleName(const PhotoGroup &group, bool selected);
/// What a click on the hero does.
[[nodiscard]] QString accessibleHint(bool selecting);
/// The hero's tooltip: the best photo's name, why it was chosen, and the hint.
[[nodiscard]] QString heroHelp(const PhotoGroup &group, bool selecting);

/// A candidate tile's tooltip: name, score, sharpness, date and (folder photos) size.
[[nodiscard]] QString itemHelp(const PhotoItem &item);
/// The sharpness as the tooltip shows it: truncated toward zero, "—" when not finite.
[[nodiscard]] QString sharpnessText(float sharpness);
/// A candidate tile's accessible name.
[[nodiscard]] QString tileAccessibleName(const PhotoItem &item);
/// The overflow tile, "+%d", and its tooltip.
[[nodiscard]] QString overflowText(std::int64_t hidden);
[[nodiscard]] QString overflowHelp(std::int64_t hidden);

/// The clean-up button's title and accessible name, and the caption under it.
[[nodiscard]] QString cleanupTitle(SourceKind source, std::int64_t candidates);
[[nodiscard]] QString cleanupAccessibleName(std::int64_t candidates);
[[nodiscard]] QString cleanupCaption(SourceKind source);
/// The clean-up button while its group is being cleaned.
[[nodiscard]] QString cleaningTitle();

/// The confirmation: its title, destructive button and message.
[[nodiscard]] QString confirmTitle(SourceKind source, std::int64_t candidates);
[[nodiscard]] QString confirmButton(SourceKind source, std::int64_t reclaimableBytes);
[[nodiscard]] QString confirmMessage(SourceKind source, const PhotoGroup &group);

/// The context menu's items.
[[nodiscard]] QString menuDetail();
[[nodiscard]] QString menuReveal();
[[nodiscard]] QString menuOpenBest();
[[nodiscard]] QString menuOpenLibrary();
/// The clean-up item: the button's title followed by "…".
[[nodiscard]] QString menuCleanup(SourceKind source, std::int64_t candidates);

} // namespace lumora::groupcardtexts
