#include "app/shell/root/AlertPresenter.h"

#include "app/shell/components/WindowCentring.h"
#include "app/shell/theme/Theme.h"
#include "app/store/AppStore.h"
#include "app/store/texts/Localized.h"

#include <QHash>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace lumora {

AlertPresenter::AlertPresenter(AppStore &store, QWidget *window)
    : QObject(window), m_store(store), m_window(window) {
  connect(&m_store, &AppStore::alertChanged, this, &AlertPresenter::storeAlertChanged);
  if (m_store.alert()) {
    storeAlertChanged();
  }
}

AlertPresenter::~AlertPresenter() { closeBox(); }

std::vector<AlertPresenter::Button>
AlertPresenter::buttons(const AppStoreTypes::AlertContent &alert) {
  std::vector<Button> list;
  if (alert.showsRetryButton) {
    list.push_back({Action::retry, alert.retryTitle});
  }
  if (alert.showsSettingsButton) {
    list.push_back({Action::settings, settingsTitle(alert.source)});
  }
  list.push_back({Action::ok, localized::string("好")});
  return list;
}

QString AlertPresenter::settingsTitle(AppStoreTypes::SourceKind source) {
  return source == AppStoreTypes::SourceKind::library ? localized::string("打开「照片」权限设置")
                                                      : localized::string("打开系统设置");
}

void AlertPresenter::storeAlertChanged() {
  if (m_box) {
    // The open box keeps its alert; a newer one waits until it closes. Only when the
    // store withdrew the alert does the box go without an answer.
    if (!m_store.alert()) {
      closeBox();
    }
    return;
  }
  if (m_store.alert()) {
    present(*m_store.alert());
  }
}

void AlertPresenter::present(const AppStoreTypes::AlertContent &alert) {
  auto *box = new QMessageBox(m_window);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::WindowModal);
  // A window does not inherit its parent's palette: the box takes the content's scheme.
  Theme::setScheme(box, Theme::schemeOf(m_window));
  box->setIcon(QMessageBox::Warning);
  box->setWindowTitle(alert.title);
  box->setText(alert.title);
  box->setInformativeText(alert.message);
  QHash<QAbstractButton *, Action> actions;
  for (const Button &button : buttons(alert)) {
    // Retry and settings share one role so the box keeps them in the order added, both
    // ahead of "好" in every desktop's button layout.
    const auto role =
        button.action == Action::ok ? QMessageBox::RejectRole : QMessageBox::ActionRole;
    QPushButton *pushButton = box->addButton(button.title, role);
    actions.insert(pushButton, button.action);
    if (button.action == Action::ok) {
      box->setEscapeButton(pushButton);
      box->setDefaultButton(pushButton);
    }
  }
  // Any other way of closing the box (the window manager, Escape) answers "好".
  connect(box, &QDialog::finished, this,
          [this, box, actions] { finish(actions.value(box->clickedButton(), Action::ok)); });
  m_shown = alert;
  m_box = box;
  WindowCentring::attach(box);
  box->open();
}

void AlertPresenter::finish(Action action) {
  if (!m_shown) {
    return;
  }
  const AppStoreTypes::AlertContent shown = *m_shown;
  m_shown.reset();
  closeBox();
  if (m_store.alert() && m_store.alert()->id == shown.id) {
    m_store.setAlert(std::nullopt);
  }
  if (action == Action::retry) {
    m_store.retryAlert(shown);
  } else if (action == Action::settings) {
    m_store.openPrivacySettings(shown.source);
  }
  // An alert raised while this one was open, or by its action, shows once this box is
  // gone.
  QTimer::singleShot(0, this, [this] {
    if (!m_box && m_store.alert()) {
      present(*m_store.alert());
    }
  });
}

void AlertPresenter::closeBox() {
  if (QMessageBox *box = m_box) {
    m_box = nullptr;
    m_shown.reset();
    box->disconnect(this);
    box->close();
  }
}

} // namespace lumora
