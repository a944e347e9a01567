#pragma once

#include "app/store/state/AppStoreTypes.h"
#include "engine/model/PhotoItem.h"

#include <QString>

/// The user texts of the photo preview that depend on the source or the photo. Looked up
/// in the string table on every call; GUI thread.
namespace lumora::previewtexts {

using Source = AppStoreTypes::SourceKind;

/// The name shown before the engine's answer: "图库照片" for a library photo, else the
/// file name.
[[nodiscard]] QString provisionalName(const PhotoItem &item);
[[nodiscard]] QString deleteTitle(Source source);
[[nodiscard]] QString deleteButton(Source source);
/// The library wording names the shown name; the folder wording the photo's file name.
[[nodiscard]] QString deleteMessage(const PhotoItem &item, const QString &shownName, Source source);
[[nodiscard]] QString positionAccessibleName(const QString &positionText);

} // namespace lumora::previewtexts
