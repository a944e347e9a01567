// The undo toast: showing it with its automatic hiding, closing it, and undoing the last
// clean-up from it.
#include "app/store/AppStore.h"
#include "app/store/texts/Localized.h"
#include "app/store/texts/Texts.h"

#include <cmath>

namespace lumora {
namespace {

constexpr double kRestoredToastSeconds = 3.0;

} // namespace

void AppStore::presentToast(const QString &message, const QString &detail, bool canUndo,
                            std::optional<DeleteReceipt> receipt, double seconds) {
  // Every show and dismissal raises the generation, so an older toast's timer can never
  // hide a newer toast.
  const std::int64_t generation = ++m_toastGeneration;
  setUndoToast(UndoToast{QUuid::createUuid(), message, detail, canUndo, std::move(receipt)});
  const auto lifetime = std::chrono::milliseconds(std::llround(seconds * 1000.0));
  QTimer::singleShot(lifetime, Qt::PreciseTimer, this, [this, generation] {
    if (generation == m_toastGeneration) {
      setUndoToast(std::nullopt);
    }
  });
}

void AppStore::presentCleanupToast(const DeleteReceipt &receipt, const QString &message,
                                   double seconds) {
  // Only files in the Trash can come back; library photos wait in "Recently Deleted".
  const bool canUndo = receipt.canUndo();
  const QString detail =
      canUndo
          ? localized::string("移入废纸篓（可恢复）")
          : localized::format("%@，30 天内可在「照片」App 恢复", "%@，30 天内可在「照片」App 恢复",
                              {localized::string("已移入「照片」App 的「最近删除」")});
  presentToast(message, detail, canUndo, canUndo ? std::optional(receipt) : std::nullopt, seconds);
}

void AppStore::dismissToast() {
  ++m_toastGeneration;
  setUndoToast(std::nullopt);
}

void AppStore::undoLastCleanup() {
  // A second press while the files are moving back would restore nothing and replace the
  // real count with "0".
  if (m_isUndoing || !m_undoToast || !m_undoToast->canUndo || !m_undoToast->receipt) {
    return;
  }
  // The toast stays on screen, now without automatic hiding.
  ++m_toastGeneration;
  m_isUndoing = true;
  std::shared_ptr<EngineClient> engine = m_engine;
  m_relay.run([engine, receipt = *m_undoToast->receipt] { return engine->undoDelete(receipt); },
              [this](Expected<std::int64_t, EngineCallError> outcome) {
                undoFinished(std::move(outcome));
              });
}

void AppStore::undoFinished(Expected<std::int64_t, EngineCallError> outcome) {
  m_isUndoing = false;
  if (!outcome) {
    logDiagnosticError(QStringLiteral("delete"), outcome.error(), QStringLiteral("undo failed"));
    setAlert(AlertContent{QUuid::createUuid(), localized::string("撤销失败"),
                          outcome.error().localizedDescription(), false, false,
                          localized::string("重试"), m_sourceKind});
    return;
  }
  setUndoToast(std::nullopt);
  // The restored files were forgotten by the engine; a fresh scan brings them back.
  if (m_currentInput) {
    beginScan(*m_currentInput, true);
  }
  presentToast(texts::restoredText(*outcome), QStringLiteral("已重新扫描刷新结果"), false,
               std::nullopt, kRestoredToastSeconds);
}

} // namespace lumora
