#include "app/results/GridKeyController.h"

#include "app/store/AppStore.h"
#include "platform/gui/KeyCodes.h"

namespace lumora {
namespace {

namespace keys = platform::keycodes;

constexpr int kPageRows = 3;

} // namespace

GridKeyController::GridKeyController(AppStore &store, Hooks hooks)
    : m_store(store), m_hooks(std::move(hooks)) {}

bool GridKeyController::handle(int keyCode, bool command) {
  return command ? handleCommand(keyCode) : handlePlain(keyCode);
}

bool GridKeyController::handleCommand(int keyCode) {
  switch (keyCode) {
  case keys::kLeftBracket: m_hooks.jumpMonth(-1); return true;
  case keys::kRightBracket: m_hooks.jumpMonth(1); return true;
  default: return false;
  }
}

bool GridKeyController::handlePlain(int keyCode) {
  const int columns = m_hooks.columns();
  switch (keyCode) {
  case keys::kReturn: openFocused(); return true;
  case keys::kSpace: return toggleFocused();
  case keys::kEscape:
    if (!m_store.isSelecting()) {
      return false;
    }
    m_store.exitSelectionMode();
    return true;
  case keys::kHome: m_store.focusFirstGroup(); return true;
  case keys::kEnd: m_store.focusLastGroup(); return true;
  case keys::kPageUp: m_store.focusPage(columns, -kPageRows); return true;
  case keys::kPageDown: m_store.focusPage(columns, kPageRows); return true;
  case keys::kLeft: m_store.focusStep(0, -1, columns); return true;
  case keys::kRight: m_store.focusStep(0, 1, columns); return true;
  case keys::kDown: m_store.focusStep(1, 0, columns); return true;
  case keys::kUp: m_store.focusStep(-1, 0, columns); return true;
  default: return false;
  }
}

void GridKeyController::openFocused() {
  if (const auto &id = m_store.focusedGroupID()) {
    if (const auto group = m_store.group(*id)) {
      m_store.openDetail(*group);
    }
  }
}

bool GridKeyController::toggleFocused() {
  if (!m_store.isSelecting()) {
    return false;
  }
  if (const auto &id = m_store.focusedGroupID()) {
    if (const auto group = m_store.group(*id)) {
      m_store.toggleSelection(*group);
    }
  }
  return true;
}

} // namespace lumora
