#include "app/store/state/AppStoreTypes.h"

namespace lumora {

std::string_view AppStoreTypes::Failure::kindName(Kind kind) {
  switch (kind) {
  case Kind::permissionDenied: return "permissionDenied";
  case Kind::libraryDenied: return "libraryDenied";
  case Kind::noImages: return "noImages";
  case Kind::emptyFolder: return "emptyFolder";
  case Kind::visionUnavailable: return "visionUnavailable";
  case Kind::other: return "other";
  }
  return "other";
}

std::string_view AppStoreTypes::rawValue(InfoTab tab) {
  return tab == InfoTab::about ? std::string_view("about") : std::string_view("help");
}

std::optional<AppStoreTypes::InfoTab> AppStoreTypes::infoTabFromRawValue(std::string_view raw) {
  for (InfoTab tab : {InfoTab::about, InfoTab::help}) {
    if (rawValue(tab) == raw) {
      return tab;
    }
  }
  return std::nullopt;
}

} // namespace lumora
