// Fuzzes the favourites reader; whatever it accepts must survive a save and a reload.
#include "engine/favorites/FavoriteStore.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  fuzzsupport::isolateHome();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  using lumora::FavoriteStore;
  const auto ids = FavoriteStore::decode(fuzzsupport::bytes(data, size));
  if (ids) {
    const auto again = FavoriteStore::decode(FavoriteStore::encode(*ids));
    fuzzsupport::check(again.has_value() && again->size() <= ids->size());
  }
  return 0;
}
