#include "app/shell/InfoCenterSheet.h"

#include "app/shell/ScreenFactory.h"
#include "app/shell/components/WindowCentring.h"
#include "app/shell/theme/Theme.h"
#include "app/store/AppStore.h"
#include "app/store/texts/Localized.h"

#include <QVBoxLayout>

namespace lumora {

InfoCenterSheet::InfoCenterSheet(AppStore &store, const ScreenFactory &factory, QWidget *window)
    : QDialog(window), m_store(store), m_factory(factory) {
  setObjectName(QStringLiteral("InfoCenterSheet"));
  setWindowTitle(localized::string("Pindle"));
  setWindowModality(Qt::WindowModal);
  setFixedSize(kWidth, kHeight);
  WindowCentring::attach(this);
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  connect(&m_store, &AppStore::showsInfoCenterChanged, this, &InfoCenterSheet::sync);
  sync();
}

void InfoCenterSheet::reject() {
  if (m_store.showsInfoCenter()) {
    // The store's change closes the sheet through sync().
    m_store.setShowsInfoCenter(false);
  } else {
    dismiss();
  }
}

void InfoCenterSheet::sync() {
  if (m_store.showsInfoCenter()) {
    present();
  } else {
    dismiss();
  }
}

void InfoCenterSheet::present() {
  if (m_content) {
    return;
  }
  // A window of its own: it takes the scheme of the window it belongs to.
  if (parentWidget() != nullptr) {
    Theme::setScheme(this, Theme::schemeOf(parentWidget()));
  }
  // The tab is read now: a later change of the store's tab leaves the open sheet alone.
  m_content = m_factory.makeInfoCenter(m_store, m_store.infoInitialTab(), this);
  layout()->addWidget(m_content);
  open();
}

void InfoCenterSheet::dismiss() {
  if (m_content) {
    // Removed at once, deleted later: the content may be mid-way through the click that
    // closes it. Its pending answers are dropped with it.
    m_content->hide();
    layout()->removeWidget(m_content);
    m_content->deleteLater();
    m_content = nullptr;
  }
  if (isVisible()) {
    QDialog::done(QDialog::Rejected);
  }
}

} // namespace lumora
