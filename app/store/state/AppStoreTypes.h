#pragma once

#include "engine/model/DeleteReceipt.h"

#include <QString>
#include <QUrl>
#include <QUuid>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumora {

/// The value types the store publishes. `AppStore` derives from this so that they read as
/// its own nested types (`AppStore::Phase`, `AppStore::Failure`, …).
struct AppStoreTypes {
  /// What the current or last scan covered; it picks every folder-or-library wording.
  enum class SourceKind { folder, library };

  /// Why the failed screen shows, and which recovery it offers.
  struct Failure {
    enum class Kind {
      permissionDenied,
      libraryDenied,
      noImages,
      emptyFolder,
      visionUnavailable,
      other
    };

    Kind kind = Kind::other;
    QString title;
    QString message;

    /// The case name exactly ("permissionDenied", …); part of the phase token.
    [[nodiscard]] static std::string_view kindName(Kind kind);
    bool operator==(const Failure &) const = default;
  };

  /// Which main screen shows. The failure only counts for `failed`.
  struct Phase {
    enum class Kind { failed, idle, scanning, ready };

    Kind kind = Kind::idle;
    Failure failure;

    [[nodiscard]] static Phase idle() { return {Kind::idle, {}}; }
    [[nodiscard]] static Phase scanning() { return {Kind::scanning, {}}; }
    [[nodiscard]] static Phase ready() { return {Kind::ready, {}}; }
    [[nodiscard]] static Phase failed(Failure failure) {
      return {Kind::failed, std::move(failure)};
    }

    [[nodiscard]] bool isScanning() const { return kind == Kind::scanning; }
    bool operator==(const Phase &other) const {
      return kind == other.kind && (kind != Kind::failed || failure == other.failure);
    }
  };

  /// The toast shown after a clean-up.
  struct UndoToast {
    QUuid id = QUuid::createUuid();
    QString message;
    QString detail;
    bool canUndo = false;
    std::optional<DeleteReceipt> receipt;
    bool operator==(const UndoToast &) const = default;
  };

  /// An alert over the window. `source` says what its retry and settings buttons concern:
  /// a library denial raised over folder results must retry the library and open the
  /// library's privacy settings, not rescan the folder on screen.
  struct AlertContent {
    QUuid id = QUuid::createUuid();
    QString title;
    QString message;
    bool showsRetryButton = false;
    bool showsSettingsButton = false;
    QString retryTitle;
    SourceKind source = SourceKind::folder;
    bool operator==(const AlertContent &) const = default;
  };

  /// The photo the full-window preview shows: a position in one group's photos.
  struct PreviewContext {
    QUuid id = QUuid::createUuid();
    std::string groupID;
    std::int64_t index = 0;
    bool operator==(const PreviewContext &) const = default;
  };

  /// The info sheet's tab.
  enum class InfoTab { about, help };
  /// "about" or "help".
  [[nodiscard]] static std::string_view rawValue(InfoTab tab);
  /// The tab named by `raw`; none for any other string.
  [[nodiscard]] static std::optional<InfoTab> infoTabFromRawValue(std::string_view raw);

protected:
  /// What a scan covers: kept so that a paused scan can resume and an undo can rescan.
  struct ScanInput {
    SourceKind kind = SourceKind::folder;
    /// The folder of a folder scan.
    QUrl folder;
    bool operator==(const ScanInput &) const = default;
  };
};

} // namespace lumora
