#include "app/results/GridKeyController.h"

#include "app/store/AppStore.h"

namespace lumora {
namespace {

enum KeyCode : int {
  kCloseBracket = 30,
  kOpenBracket = 33,
  kReturn = 36,
  kSpace = 49,
  kEscape = 53,
  kHome = 115,
  kPageUp = 116,
  kEnd = 119,
  kPageDown = 121,
  kLeft = 123,
  kRight = 124,
  kDown = 125,
  kUp = 126,
};

constexpr int kPageRows = 3;

} // namespace

GridKeyController::GridKeyController(AppStore &store, Hooks hooks)
    : m_store(store), m_hooks(std::move(hooks)) {}

bool GridKeyController::handle(int keyCode, bool command) {
  return command ? handleCommand(keyCode) : handlePlain(keyCode);
}

bool GridKeyController::handleCommand(int keyCode) {
  switch (keyCode) {
  case kOpenBracket: m_hooks.jumpMonth(-1); return true;
  case kCloseBracket: m_hooks.jumpMonth(1); return true;
  default: return false;
  }
}

bool GridKeyController::handlePlain(int keyCode) {
  const int columns = m_hooks.columns();
  switch (keyCode) {
  case kReturn: openFocused(); return true;
  case kSpace: return toggleFocused();
  case kEscape:
    if (!m_store.isSelecting()) {
      return false;
    }
    m_store.exitSelectionMode();
    return true;
  case kHome: m_store.focusFirstGroup(); return true;
  case kEnd: m_store.focusLastGroup(); return true;
  case kPageUp: m_store.focusPage(columns, -kPageRows); return true;
  case kPageDown: m_store.focusPage(columns, kPageRows); return true;
  case kLeft: m_store.focusStep(0, -1, columns); return true;
  case kRight: m_store.focusStep(0, 1, columns); return true;
  case kDown: m_store.focusStep(1, 0, columns); return true;
  case kUp: m_store.focusStep(-1, 0, columns); return true;
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
