#pragma once

#include "app/shell/theme/ThemedButton.h"

class QLabel;

namespace lumora {

class Spinner;

/// The cache section's small bordered button "清除分析缓存…". While a clearing runs it is
/// disabled and shows a spinner (at 0.8 of its usual size) beside "正在清除…" instead.
class ClearCacheButton : public ThemedButton {
  Q_OBJECT

public:
  explicit ClearCacheButton(QWidget *parent = nullptr);

  void setClearing(bool clearing);
  [[nodiscard]] bool isClearing() const { return m_clearing; }
  [[nodiscard]] Spinner *spinner() const { return m_spinner; }
  [[nodiscard]] QLabel *clearingLabel() const { return m_clearingLabel; }

  [[nodiscard]] QSize sizeHint() const override;

protected:
  void changeEvent(QEvent *event) override;

private:
  void refreshColors();

  bool m_clearing = false;
  QString m_title;
  QWidget *m_clearingContent;
  Spinner *m_spinner;
  QLabel *m_clearingLabel;
};

} // namespace lumora
