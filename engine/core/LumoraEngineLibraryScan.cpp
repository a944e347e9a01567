// The photo-library scan: the scan pipeline over the library's assets.
#include "engine/core/LumoraEngine.h"

#include "engine/core/LibraryPhotoSource.h"

namespace lumora {
namespace {

// Without a library (disabled by the engine's owner) a library scan is refused like one
// without access.
EngineError noLibrary() {
  return EngineError::fromLibrary(EngineError::LibraryKind::denied, QStringLiteral("图库不可用"));
}

} // namespace

Expected<ScanResult, EngineError> LumoraEngine::scanLibrary(const ScanOptions &options,
                                                            ProgressHandler progress,
                                                            PartialHandler onPartial,
                                                            std::stop_token stop) {
  // Without access nothing starts: no progress report, no cache reload.
  const auto library = m_services.library;
  if (!library || !library->isGranted()) {
    return Unexpected(library ? library->failure(EngineError::LibraryKind::denied) : noLibrary());
  }
  LibraryPhotoSource source(library, options);
  return runScan(source, options, std::move(progress), std::move(onPartial), std::move(stop));
}

} // namespace lumora
