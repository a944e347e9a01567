#include "platform/core/photolibrary/ImageManager.h"

#include "platform/core/photolibrary/LocalImageManager.h"

namespace platform {

std::shared_ptr<ImageManager> ImageManager::defaultManager() {
  static const std::shared_ptr<ImageManager> manager = std::make_shared<LocalImageManager>();
  return manager;
}

} // namespace platform
