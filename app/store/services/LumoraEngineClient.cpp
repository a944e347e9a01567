#include "app/store/services/LumoraEngineClient.h"

#include "app/store/services/ImageDecode.h"
#include "engine/core/LumoraEngine.h"
#include "engine/diagnostics/Diagnostics.h"

#include <system_error>

namespace lumora {
namespace {

// Runs an engine call that reports failures as an `Expected`; anything thrown on the way
// becomes an error of the call instead of escaping the worker thread.
template <typename Call> auto guarded(Call call) -> decltype(call()) {
  try {
    return call();
  } catch (const std::system_error &error) {
    return Unexpected(
        EngineCallError::fromSystem(error.code(), QString::fromLocal8Bit(error.what())));
  } catch (const std::exception &error) {
    return Unexpected(
        EngineCallError::fromEngine(EngineError::file(QString::fromLocal8Bit(error.what()))));
  }
}

template <typename T> Expected<T, EngineCallError> lifted(Expected<T, EngineError> outcome) {
  if (!outcome) {
    return Unexpected(EngineCallError::fromEngine(outcome.error()));
  }
  return std::move(outcome).value();
}

void logSwallowed(const char *operation, const std::exception &error) {
  Diagnostics::log(QStringLiteral("app"), QString::fromLatin1(operation) +
                                              QStringLiteral(" failed: ") +
                                              QString::fromLocal8Bit(error.what()));
}

} // namespace

LumoraEngineClient::LumoraEngineClient(std::shared_ptr<LumoraEngine> engine)
    : m_engine(std::move(engine)) {
  Q_ASSERT(m_engine);
}

Expected<ScanResult, EngineCallError> LumoraEngineClient::scanFolder(const QUrl &folder,
                                                                     const ScanOptions &options,
                                                                     ProgressHandler progress,
                                                                     PartialHandler onPartial,
                                                                     std::stop_token stop) {
  return guarded([&]() -> Expected<ScanResult, EngineCallError> {
    return lifted(m_engine->scan({folder}, options, std::move(progress), std::move(onPartial),
                                 std::move(stop)));
  });
}

Expected<ScanResult, EngineCallError> LumoraEngineClient::scanLibrary(const ScanOptions &options,
                                                                      ProgressHandler progress,
                                                                      PartialHandler onPartial,
                                                                      std::stop_token stop) {
  return guarded([&]() -> Expected<ScanResult, EngineCallError> {
    return lifted(
        m_engine->scanLibrary(options, std::move(progress), std::move(onPartial), std::move(stop)));
  });
}

bool LumoraEngineClient::requestLibraryAuthorization() {
  try {
    return m_engine->requestLibraryAuthorization();
  } catch (const std::exception &error) {
    logSwallowed("library authorization", error);
    return false;
  }
}

std::vector<PhotoGroup> LumoraEngineClient::group(const std::vector<PhotoItem> &items,
                                                  float threshold, GroupSort sort) {
  try {
    return m_engine->group(items, threshold, sort);
  } catch (const std::exception &error) {
    logSwallowed("group", error);
    return {};
  }
}

Expected<bool, EngineCallError> LumoraEngineClient::setFavorite(const PhotoItem &item,
                                                                bool favorite) {
  return guarded([&] { return lifted(m_engine->setFavorite(item, favorite)); });
}

QImage LumoraEngineClient::previewImage(const PhotoItem &item, int maxPixel) {
  try {
    const std::optional<platform::DecodedImage> decoded = m_engine->previewImage(item, maxPixel);
    return decoded ? imagedecode::toQImage(*decoded) : QImage();
  } catch (const std::exception &error) {
    logSwallowed("previewImage", error);
    return {};
  }
}

QImage LumoraEngineClient::scanPreview(const PhotoItem &item) {
  const std::shared_ptr<const platform::DecodedImage> kept = m_engine->scanPreview(item);
  return kept ? imagedecode::toQImage(*kept) : QImage();
}

QImage LumoraEngineClient::libraryThumbnail(const std::string &localIdentifier, int maxPixel) {
  try {
    const auto decoded = m_engine->libraryThumbnail(localIdentifier, maxPixel);
    return decoded ? imagedecode::toQImage(*decoded) : QImage();
  } catch (const std::exception &error) {
    logSwallowed("libraryThumbnail", error);
    return {};
  }
}

QString LumoraEngineClient::displayName(const PhotoItem &item) {
  try {
    return m_engine->displayName(item);
  } catch (const std::exception &error) {
    logSwallowed("displayName", error);
    return item.fileName();
  }
}

DeleteOutcome LumoraEngineClient::deleteItems(const std::vector<PhotoItem> &items) {
  try {
    return m_engine->deleteItems(items);
  } catch (const std::exception &error) {
    // What the engine moved before the throw is recorded by it; nothing is reported as moved.
    return {DeleteReceipt{}, EngineError::file(QString::fromLocal8Bit(error.what()))};
  }
}

Expected<std::int64_t, EngineCallError>
LumoraEngineClient::undoDelete(const DeleteReceipt &receipt) {
  return guarded([&] { return lifted(m_engine->undoDelete(receipt)); });
}

void LumoraEngineClient::invalidateCache() {
  try {
    m_engine->invalidateCache();
  } catch (const std::exception &error) {
    logSwallowed("invalidateCache", error);
  }
}

} // namespace lumora
