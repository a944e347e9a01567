#pragma once

#include "app/store/state/AppStoreTypes.h"

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>
#include <vector>

class QWidget;

namespace lumora {

class AppStore;

/// Shows the store's alert as a window-modal message box over `window`, one alert at a
/// time. Its retry and settings buttons act on what the alert is about (its `source`), not
/// on the source shown behind it. Closing the box clears the store's alert only while the
/// store still holds that same alert; an alert raised while another was open shows next.
/// GUI thread only.
class AlertPresenter : public QObject {
  Q_OBJECT

public:
  enum class Action { retry, settings, ok };
  struct Button {
    Action action = Action::ok;
    QString title;
    bool operator==(const Button &) const = default;
  };

  AlertPresenter(AppStore &store, QWidget *window);
  ~AlertPresenter() override;

  /// The buttons of `alert` in the order shown: retry, settings, then always "好".
  [[nodiscard]] static std::vector<Button> buttons(const AppStoreTypes::AlertContent &alert);
  /// The settings button's title for an alert about `source`.
  [[nodiscard]] static QString settingsTitle(AppStoreTypes::SourceKind source);

  /// The open message box, null while none is shown.
  [[nodiscard]] QMessageBox *box() const { return m_box; }

private:
  void storeAlertChanged();
  void present(const AppStoreTypes::AlertContent &alert);
  void finish(Action action);
  void closeBox();

  AppStore &m_store;
  QPointer<QWidget> m_window;
  QPointer<QMessageBox> m_box;
  /// The alert the open box shows.
  std::optional<AppStoreTypes::AlertContent> m_shown;
};

} // namespace lumora
