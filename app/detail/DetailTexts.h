#pragma once

#include "app/store/state/AppStoreTypes.h"
#include "engine/model/PhotoGroup.h"

#include <QString>
#include <cstdint>

/// The user texts of the group detail and its tiles, each chosen by the source at the
/// moment it is built. Looked up in the string table on every call; GUI thread.
namespace lumora::detailtexts {

using Source = AppStoreTypes::SourceKind;

/// A photo as the deletion texts name it: "图库照片" for a library photo, else its file name.
[[nodiscard]] QString photoName(const PhotoItem &item);
/// Number of photos a clean-up removes: all but the best.
[[nodiscard]] std::int64_t victimCount(const PhotoGroup &group);

// Header and action bar.
[[nodiscard]] QString headerSubtitle(const PhotoGroup &group);
[[nodiscard]] QString deletionHint(Source source);
[[nodiscard]] QString reasonText(const PhotoGroup &group);
[[nodiscard]] QString actionTitle(const PhotoGroup &group, Source source);
[[nodiscard]] QString actionSubtitle(const PhotoGroup &group, Source source);
[[nodiscard]] QString cleanupAccessibilityHint(Source source);

// The clean-up confirmation and the single-photo delete alert.
[[nodiscard]] QString cleanupTitle(std::int64_t count, Source source);
[[nodiscard]] QString cleanupConfirmButton(Source source);
[[nodiscard]] QString cleanupMessage(const PhotoGroup &group, Source source);
[[nodiscard]] QString deleteMessage(const PhotoItem &item, Source source);

// Tiles.
[[nodiscard]] QString tileAccessibleName(const PhotoItem &item, bool focused, bool best);
[[nodiscard]] QString tileToolTip(const PhotoItem &item);
[[nodiscard]] QString favoriteHelp(bool favorite);
[[nodiscard]] QString favoriteAccessibleName(bool favorite);

} // namespace lumora::detailtexts
