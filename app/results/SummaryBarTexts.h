#pragma once

#include "app/store/state/AppStoreTypes.h"
#include "engine/model/ScanTypes.h"

#include <QString>
#include <cstdint>
#include <optional>

/// The texts of the summary bar and of the batch clean-up confirmation. Each looks its text
/// up on every call. GUI thread.
namespace lumora::summarybartexts {

using SourceKind = AppStoreTypes::SourceKind;

/// "3 groups · 12 MB reclaimable", or for the library the photos to move.
[[nodiscard]] QString summaryTitle(SourceKind source, std::int64_t groups,
                                   std::int64_t reclaimableBytes, std::int64_t cleanablePhotos);
/// Where cleaned photos go, and how many files the last scan skipped. A paused scan's
/// result leaves the skipped part out: it would count the files it never reached.
[[nodiscard]] QString summarySubtitle(SourceKind source, const std::optional<ScanResult> &last);
/// "已清理 %@ 张" with the locale's grouping.
[[nodiscard]] QString trashedText(std::int64_t trashed);

/// The selection row: selected groups, photos to clean up and (folders) bytes freed.
[[nodiscard]] QString batchTitle(SourceKind source, std::int64_t groups, std::int64_t victims,
                                 std::int64_t bytes);
[[nodiscard]] QString batchSubtitle(SourceKind source);
/// The clean-up button's accessible name, the count in plain digits.
[[nodiscard]] QString batchCleanupAccessibleName(std::int64_t victims);

/// The batch confirmation: title, destructive button and message.
[[nodiscard]] QString confirmTitle(SourceKind source, std::int64_t victims);
[[nodiscard]] QString confirmButton(SourceKind source, std::int64_t bytes);
[[nodiscard]] QString confirmMessage(SourceKind source, std::int64_t victims);

} // namespace lumora::summarybartexts
