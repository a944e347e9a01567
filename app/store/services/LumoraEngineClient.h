#pragma once

#include "app/store/services/EngineClient.h"

#include <memory>

namespace lumora {

class LumoraEngine;

/// The store's engine interface over the real `LumoraEngine`. Thread-safe like the engine;
/// nothing it calls lets an exception out of the worker thread it runs on.
class LumoraEngineClient final : public EngineClient {
public:
  explicit LumoraEngineClient(std::shared_ptr<LumoraEngine> engine);

  [[nodiscard]] Expected<ScanResult, EngineCallError>
  scanFolder(const QUrl &folder, const ScanOptions &options, ProgressHandler progress,
             PartialHandler onPartial, std::stop_token stop) override;
  [[nodiscard]] Expected<ScanResult, EngineCallError> scanLibrary(const ScanOptions &options,
                                                                  ProgressHandler progress,
                                                                  PartialHandler onPartial,
                                                                  std::stop_token stop) override;
  [[nodiscard]] bool requestLibraryAuthorization() override;
  [[nodiscard]] std::vector<PhotoGroup> group(const std::vector<PhotoItem> &items, float threshold,
                                              GroupSort sort) override;
  [[nodiscard]] Expected<bool, EngineCallError> setFavorite(const PhotoItem &item,
                                                            bool favorite) override;
  [[nodiscard]] QImage previewImage(const PhotoItem &item, int maxPixel) override;
  [[nodiscard]] QImage libraryThumbnail(const std::string &localIdentifier, int maxPixel) override;
  [[nodiscard]] QImage scanPreview(const PhotoItem &item) override;
  [[nodiscard]] QString displayName(const PhotoItem &item) override;
  [[nodiscard]] DeleteOutcome deleteItems(const std::vector<PhotoItem> &items) override;
  [[nodiscard]] Expected<std::int64_t, EngineCallError>
  undoDelete(const DeleteReceipt &receipt) override;
  void invalidateCache() override;

  [[nodiscard]] LumoraEngine &engine() const { return *m_engine; }

private:
  std::shared_ptr<LumoraEngine> m_engine;
};

} // namespace lumora
