#include "app/detail/PreviewTexts.h"

#include "app/detail/DetailTexts.h"
#include "app/store/texts/Localized.h"

namespace lumora::previewtexts {

QString provisionalName(const PhotoItem &item) { return detailtexts::photoName(item); }

QString deleteTitle(Source source) {
  return source == Source::library ? localized::string("把这张照片移入「最近删除」？")
                                   : localized::string("删除这张照片？");
}

QString deleteButton(Source source) { return detailtexts::cleanupConfirmButton(source); }

QString deleteMessage(const PhotoItem &item, const QString &shownName, Source source) {
  if (source == Source::library) {
    return localized::format("「%@」会进入「照片」App 的「最近删除」，30 天内可以恢复。",
                             "「%@」会进入「照片」App 的「最近删除」，30 天内可以恢复。",
                             {shownName});
  }
  return localized::format("「%@」会移到废纸篓，可以在 Finder 里恢复。",
                           "「%@」会移到废纸篓，可以在 Finder 里恢复。", {item.fileName()});
}

QString positionAccessibleName(const QString &positionText) {
  return localized::format("第 %@ 张", "第 %@ 张", {positionText});
}

} // namespace lumora::previewtexts
