#pragma once

#include "engine/model/ScanTypes.h"
#include "engine/model/ScoreTier.h"
#include "engine/model/SelectionReason.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

/// User texts that depend on a count, a threshold, a score tier or the reason a best
/// photo was chosen. Each looks its text up in the string table on every call and falls
/// back to the default it carries; none keeps state, so any thread may call them.
///
/// The count texts use the singular text for a count of exactly 1 and the plural
/// format for every other count (0 and negatives included); counts are plain digits.
namespace lumora::texts {

/// Undo toast after a group clean-up: "Cleaned 1 photo" / "Cleaned %d photos".
[[nodiscard]] QString cleanedText(std::int64_t count);
/// Toast after an undo: "Restored 1 photo" / "Restored %d photos".
[[nodiscard]] QString restoredText(std::int64_t count);
/// Toast after deleting one photo: "Deleted 1 photo" / "Deleted %d photos".
[[nodiscard]] QString deletedText(std::int64_t count);
/// Group detail header and batch confirmation: "1 similar photo" / "%d similar photos".
[[nodiscard]] QString similarPhotoCountText(std::int64_t count);
/// Says that the photos `names` stayed where they are because their files changed after the
/// scan, naming up to three; empty for no names.
[[nodiscard]] QString leftInPlaceText(const QStringList &names);
/// Says that for the photos `names` another file saved under their name during the clean-up
/// could not be put back and went to the Trash, where undo can bring it back; empty for none.
[[nodiscard]] QString displacedText(const QStringList &names);
/// The note on the photos the scan `last` left out for their size, one part per reason that
/// applies (more pixels than any photo may have; more memory to decode than this machine
/// allows one photo), joined by " · ". Empty when there is no scan or none was left out.
[[nodiscard]] QString tooLargeNote(const std::optional<ScanResult> &last);
/// A group's clean-up button and menu title: "Clean up 1 more photo" / "… %d more photos".
[[nodiscard]] QString cleanupMoreText(std::int64_t count);
/// Detail clean-up title for the photo library.
[[nodiscard]] QString keepBestLibraryText(std::int64_t count);
/// Detail clean-up title for a folder.
[[nodiscard]] QString keepBestTrashText(std::int64_t count);
/// Group card menu and clean-up title for the photo library.
[[nodiscard]] QString moveToRecentlyDeletedText(std::int64_t count);
/// Month header and summary bar: "1 group" / "%d groups".
[[nodiscard]] QString groupCountText(std::int64_t count);
/// Summary bar: "1 photo" / "%d photos".
[[nodiscard]] QString photoCountText(std::int64_t count);

/// The hint under the similarity slider; bands below 0.24, 0.32 and 0.42, each bound
/// exclusive above; anything else (NaN too) gets the loosest band's warning.
[[nodiscard]] QString similarityHint(float threshold);
/// "出色", "不错", "一般" or "较差".
[[nodiscard]] QString tierLabel(ScoreTier tier);
/// The headline of a group's best-photo reason.
[[nodiscard]] QString reasonHeadline(const SelectionReason &reason);
/// The lines under the headline: one line when other photos were avoided as screenshots
/// or documents, none otherwise.
[[nodiscard]] QStringList reasonDetailLines(const SelectionReason &reason);

} // namespace lumora::texts
