#include "app/selftest/KeyboardCheck.h"

#include "app/selftest/ScreenTestHost.h"
#include "app/selftest/SelfTestFailure.h"
#include "app/selftest/SelfTestHarness.h"
#include "app/store/texts/MonthKey.h"
#include "platform/gui/KeyCodes.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QSet>
#include <QWindow>

namespace lumora {
namespace {

namespace keys = platform::keycodes;

constexpr QSize kHostSize{900, 700};

[[noreturn]] void fail(const QString &text) { throw SelfTestFailure{text}; }

QString keyText(int code) {
  switch (code) {
  case keys::kRightBracket: return QStringLiteral("]");
  case keys::kLeftBracket: return QStringLiteral("[");
  case keys::kReturn: return QStringLiteral("\r");
  default: return QStringLiteral(" ");
  }
}

std::optional<bool> favoriteFlag(const AppStore &store, const std::string &photoID) {
  for (const PhotoItem &item : store.items()) {
    if (item.id == photoID) {
      return item.isFavorite;
    }
  }
  return std::nullopt;
}

QString flagText(std::optional<bool> flag) {
  if (!flag) {
    return QStringLiteral("nil");
  }
  return *flag ? QStringLiteral("true") : QStringLiteral("false");
}

std::optional<std::string> idAt(const std::vector<PhotoGroup> &groups, bool last) {
  if (groups.empty()) {
    return std::nullopt;
  }
  return last ? groups.back().id : groups.front().id;
}

} // namespace

KeyboardCheck::KeyboardCheck(AppStore &store, const ScreenFactory &screens)
    : m_store(store), m_screens(screens) {}

QWidget *KeyboardCheck::findKeyView(QWidget *root, const char *className) {
  if (root->inherits(className)) {
    return root;
  }
  for (QWidget *child : root->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
    if (QWidget *found = findKeyView(child, className)) {
      return found;
    }
  }
  return nullptr;
}

void KeyboardCheck::sendKey(QWidget *window, int code) {
  const bool month = code == keys::kRightBracket || code == keys::kLeftBracket;
  QKeyEvent event(QEvent::KeyPress, keys::qtKey(code), month ? Qt::ControlModifier : Qt::NoModifier,
                  keyText(code));
  QCoreApplication::sendEvent(window->windowHandle(), &event);
}

QWidget *KeyboardCheck::waitForKeyView(QWidget *root, const char *className, int searches,
                                       const char *failure) {
  for (int search = 0; search < searches; ++search) {
    if (QWidget *view = findKeyView(root, className)) {
      return view;
    }
    SelfTestHarness::wait(120);
  }
  fail(QString::fromUtf8(failure));
}

void KeyboardCheck::verify() {
  m_store.setDetailGroupID(std::nullopt);
  m_store.setFocusedPhotoID(std::nullopt);
  SelfTestHarness::wait(200);
  auto *host = new ScreenTestHost(m_store, m_screens);
  host->setFixedSize(kHostSize);
  std::unique_ptr<QWidget> window(
      SelfTestHarness::hostWindow(host, QRect(QPoint(80, 80), kHostSize)));
  m_window = window.get();
  SelfTestHarness::wait(500);
  QWidget *grid =
      waitForKeyView(host, "lumora::GridKeyView", 30, "未找到网格键盘 catcher（网格页未挂载）");
  grid->setFocus(Qt::OtherFocusReason);
  m_store.setFocusedGroupID(std::nullopt);
  checkRangeSelection();
  checkMonthJumps();
  checkGridFocus();
  checkDetail(host);
  window->hide();
  (void)window.release(); // kept, hidden, until the process ends
}

void KeyboardCheck::checkRangeSelection() {
  m_store.exitSelectionMode();
  m_store.enterSelectionMode();
  const std::vector<PhotoGroup> groups = m_store.groups();
  if (groups.size() >= 4) {
    if (m_store.isSelecting()) {
      m_store.toggleSelection(groups[0]);
    }
    m_store.groupTapped(groups[3], true);
    for (std::size_t i = 0; i < 4; ++i) {
      if (!m_store.selectedGroupIDs().contains(groups[i].id)) {
        fail(QStringLiteral("Shift 区间选择没有覆盖 1..4 组"));
      }
    }
  }
  m_store.exitSelectionMode();
}

void KeyboardCheck::checkMonthJumps() {
  QSet<QString> months;
  for (const PhotoGroup &group : m_store.groups()) {
    months.insert(MonthKey::key(group.date()));
  }
  if (months.size() <= 1) {
    return;
  }
  const std::optional<std::string> before = m_store.lastMonthJumpTarget();
  sendKey(m_window, keys::kRightBracket);
  SelfTestHarness::wait(200);
  if (!m_store.lastMonthJumpTarget() || m_store.lastMonthJumpTarget() == before) {
    fail(QStringLiteral("⌘] 没有触发月份跳转"));
  }
  for (int step = 0; step < 10; ++step) {
    sendKey(m_window, keys::kLeftBracket);
    SelfTestHarness::wait(40);
  }
  const std::optional<std::string> clamped = m_store.lastMonthJumpTarget();
  sendKey(m_window, keys::kLeftBracket);
  SelfTestHarness::wait(80);
  if (m_store.lastMonthJumpTarget() != clamped) {
    fail(QStringLiteral("⌘[ 在第一个月没有夹住"));
  }
}

void KeyboardCheck::checkGridFocus() {
  sendKey(m_window, keys::kRight);
  SelfTestHarness::wait(180);
  const std::optional<std::string> moved = m_store.focusedGroupID();
  if (!moved) {
    fail(QStringLiteral("→ 箭头没有改变 focusedGroupID"));
  }
  sendKey(m_window, keys::kUp);
  SelfTestHarness::wait(120);
  if (m_store.focusedGroupID() != moved) {
    fail(QStringLiteral("首行 ↑ 后焦点被移动了（应夹住）"));
  }
  sendKey(m_window, keys::kEnd);
  SelfTestHarness::wait(120);
  if (m_store.focusedGroupID() != idAt(m_store.groups(), true)) {
    fail(QStringLiteral("End 后焦点不是最后一组"));
  }
  sendKey(m_window, keys::kHome);
  SelfTestHarness::wait(120);
  if (m_store.focusedGroupID() != idAt(m_store.groups(), false)) {
    fail(QStringLiteral("Home 后焦点不是第一组"));
  }
  sendKey(m_window, keys::kReturn);
  SelfTestHarness::wait(500);
  if (!m_store.detailGroupID()) {
    fail(QStringLiteral("Return 没有打开详情"));
  }
}

void KeyboardCheck::checkDetail(QWidget *host) {
  QWidget *detailKeys =
      waitForKeyView(host, "lumora::DetailKeyView", 25, "详情页键盘 catcher 未挂载");
  detailKeys->setFocus(Qt::OtherFocusReason);
  SelfTestHarness::wait(150);
  const std::optional<PhotoGroup> group =
      m_store.group(m_store.detailGroupID().value_or(std::string()));
  std::optional<std::string> best;
  if (group && !group->items.empty()) {
    best = group->items.front().id;
  }
  if (m_store.focusedPhotoID() != best) {
    fail(QStringLiteral("进入详情后焦点不是本组最佳"));
  }
  sendKey(m_window, keys::kRight);
  SelfTestHarness::wait(200);
  const std::optional<std::string> focus = m_store.focusedPhotoID();
  if (!focus || focus == best) {
    fail(QStringLiteral("详情内 → 没有切换焦点照片"));
  }
  checkFavoriteToggle(*focus);
  sendKey(m_window, keys::kEscape);
  SelfTestHarness::wait(300);
  if (m_store.detailGroupID()) {
    fail(QStringLiteral("Esc 没有返回列表"));
  }
}

void KeyboardCheck::checkFavoriteToggle(const std::string &photoID) {
  const std::optional<bool> before = favoriteFlag(m_store, photoID);
  sendKey(m_window, keys::kSpace);
  for (int poll = 0; poll <= 20; ++poll) {
    if (favoriteFlag(m_store, photoID) != before) {
      return;
    }
    if (poll < 20) {
      SelfTestHarness::wait(100);
    }
  }
  fail(QStringLiteral("Space 没有翻转焦点照片收藏（") + flagText(before) + QStringLiteral("）"));
}

} // namespace lumora
