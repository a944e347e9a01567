// The undo toast: showing it with its automatic hiding, closing it, and undoing the last
// clean-up from it.
#include "app/store/AppStore.h"
#include "app/store/texts/Localized.h"
#include "app/store/texts/Texts.h"

#include <algorithm>
#include <cmath>

namespace lumora {
namespace {

constexpr double kRestoredToastSeconds = 3.0;

} // namespace

void AppStore::presentToast(const QString &message, const QString &detail, bool canUndo,
                            std::optional<DeleteReceipt> receipt, double seconds) {
  // Every show and dismissal raises the generation and restarts or stops the one timer, so
  // an older toast's time can never hide a newer toast.
  ++m_toastGeneration;
  setUndoToast(UndoToast{QUuid::createUuid(), message, detail, canUndo, std::move(receipt)});
  startToastTimer(std::chrono::milliseconds(std::llround(seconds * 1000.0)));
}

void AppStore::startToastTimer(std::chrono::milliseconds lifetime) {
  stopToastTimer();
  if (m_alert) {
    m_toastHeld = lifetime;
  } else {
    m_toastTimer.start(lifetime);
  }
}

void AppStore::stopToastTimer() {
  m_toastTimer.stop();
  m_toastHeld.reset();
}

// A modal alert (a clean-up that moved only part of the photos) takes the user's attention:
// the undo of what did move must still be there when it is read.
void AppStore::holdToastWhileAlerting() {
  if (m_alert && m_toastTimer.isActive()) {
    m_toastHeld = std::chrono::milliseconds(std::max(m_toastTimer.remainingTime(), 0));
    m_toastTimer.stop();
  } else if (!m_alert && m_toastHeld) {
    const std::chrono::milliseconds rest = *m_toastHeld;
    m_toastHeld.reset();
    m_toastTimer.start(rest);
  }
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
  stopToastTimer();
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
  stopToastTimer();
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
