#pragma once

#include "app/store/services/EngineClient.h"
#include "app/store/state/AppStoreTypes.h"

#include <QString>

/// The failures a scan ends in, with their user texts: the mapping of an engine error to
/// the failed screen, and the two failures the store finds itself. GUI thread.
namespace lumora::scanfailures {

using Failure = AppStoreTypes::Failure;
using SourceKind = AppStoreTypes::SourceKind;

/// The failure for an error a scan reported; `source` is what the scan covered.
[[nodiscard]] Failure fromError(const EngineCallError &error, SourceKind source);
/// A folder that could not be opened before the scan started.
[[nodiscard]] Failure folderUnreadable(const QString &path);
/// Photo-library access was refused.
[[nodiscard]] Failure libraryDenied();
/// An operating-system error that means missing permission (EACCES, EPERM).
[[nodiscard]] bool isPermissionError(std::error_code code);
/// The diagnostics form of an error: " type=… domain=… code=…".
[[nodiscard]] QString diagnosticSuffix(const EngineCallError &error);

} // namespace lumora::scanfailures
