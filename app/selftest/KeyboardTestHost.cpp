#include "app/selftest/KeyboardTestHost.h"

#include "app/shell/components/HeroNamespace.h"
#include "app/store/AppStore.h"

namespace lumora {

KeyboardTestHost::KeyboardTestHost(AppStore &store, const ScreenFactory &screens, QWidget *parent)
    : QWidget(parent), m_store(store), m_screens(screens), m_hero(new HeroNamespace(this)) {
  connect(&m_store, &AppStore::detailGroupIDChanged, this, &KeyboardTestHost::showScreen);
  connect(&m_store, &AppStore::groupsChanged, this, &KeyboardTestHost::showScreen);
  showScreen();
}

void KeyboardTestHost::showScreen() {
  std::optional<std::string> detail = m_store.detailGroupID();
  if (detail && !m_store.group(*detail)) {
    detail.reset();
  }
  if (m_screen && detail == m_shownDetail) {
    return;
  }
  delete m_screen;
  m_shownDetail = detail;
  m_screen = detail ? m_screens.makeGroupDetail(m_store, *detail, m_hero, this)
                    : m_screens.makeResultsView(m_store, m_hero, this);
  m_screen->setGeometry(rect());
  m_screen->show();
}

void KeyboardTestHost::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  if (m_screen) {
    m_screen->setGeometry(rect());
  }
}

} // namespace lumora
