#pragma once

#include "app/store/texts/ErrorTexts.h"
#include "engine/core/DeleteOutcome.h"
#include "engine/core/EngineError.h"
#include "engine/model/DeleteReceipt.h"
#include "engine/model/GroupSort.h"
#include "engine/model/PhotoGroup.h"
#include "engine/model/ScanTypes.h"
#include "engine/util/Expected.h"

#include <QImage>
#include <QString>
#include <QUrl>
#include <functional>
#include <stop_token>
#include <system_error>
#include <vector>

namespace lumora {

/// A failed engine call as the store receives it: the engine's own error, or an
/// operating-system error that escaped the call (then `system` is set and `engine` holds
/// its description as a file error).
struct EngineCallError {
  EngineError engine;
  std::error_code system;

  static EngineCallError fromEngine(EngineError error) { return {std::move(error), {}}; }
  static EngineCallError fromSystem(std::error_code code, QString description) {
    return {EngineError::file(std::move(description)), code};
  }
  [[nodiscard]] QString localizedDescription() const { return texts::errorText(engine); }
  bool operator==(const EngineCallError &) const = default;
};

/// What the store asks of the analysis engine and the photo library. Every operation
/// blocks until it is done and may be called from any thread at the same time as the
/// others; the store calls them on worker threads only, never on the GUI thread.
class EngineClient {
public:
  using ProgressHandler = std::function<void(const ScanProgress &)>;
  using PartialHandler = std::function<void(const std::vector<PhotoItem> &)>;

  virtual ~EngineClient() = default;

  /// Scans one folder. Progress and partial batches arrive on the engine's threads; a stop
  /// request ends the scan early with a partial result (or an error).
  [[nodiscard]] virtual Expected<ScanResult, EngineCallError>
  scanFolder(const QUrl &folder, const ScanOptions &options, ProgressHandler progress,
             PartialHandler onPartial, std::stop_token stop) = 0;
  /// Scans the photo library, like `scanFolder`.
  [[nodiscard]] virtual Expected<ScanResult, EngineCallError>
  scanLibrary(const ScanOptions &options, ProgressHandler progress, PartialHandler onPartial,
              std::stop_token stop) = 0;
  /// Asks for read-write access to the photo library; true when granted (also limited).
  [[nodiscard]] virtual bool requestLibraryAuthorization() = 0;
  /// The similar groups of `items` under `threshold`, in `sort` order.
  [[nodiscard]] virtual std::vector<PhotoGroup> group(const std::vector<PhotoItem> &items,
                                                      float threshold, GroupSort sort) = 0;
  /// Marks or unmarks a favourite; gives the state now in force.
  [[nodiscard]] virtual Expected<bool, EngineCallError> setFavorite(const PhotoItem &item,
                                                                    bool favorite) = 0;
  /// A large rendition of the photo for the preview, or a null image.
  [[nodiscard]] virtual QImage previewImage(const PhotoItem &item, int maxPixel) = 0;
  /// A library asset's fast thumbnail for the grid, in a painting format, or a null image
  /// when it does not arrive within the library's time-out.
  [[nodiscard]] virtual QImage libraryThumbnail(const std::string &localIdentifier,
                                                int maxPixel) = 0;
  /// The small picture a scan decoded of the photo, in a painting format, to show until its
  /// thumbnail is decoded; a null image when none is kept. Unlike the other operations it
  /// returns at once and is asked on the GUI thread.
  [[nodiscard]] virtual QImage scanPreview(const PhotoItem &item) {
    (void)item;
    return {};
  }
  /// The name to show for the photo (a library photo's original file name).
  [[nodiscard]] virtual QString displayName(const PhotoItem &item) = 0;
  /// Moves the photos to the Trash or "Recently Deleted"; what moved is in the receipt,
  /// also when an error stopped it part-way.
  [[nodiscard]] virtual DeleteOutcome deleteItems(const std::vector<PhotoItem> &items) = 0;
  /// Moves trashed files back; gives how many moved.
  [[nodiscard]] virtual Expected<std::int64_t, EngineCallError>
  undoDelete(const DeleteReceipt &receipt) = 0;
  /// Forgets every cached analysis.
  virtual void invalidateCache() = 0;
};

} // namespace lumora
