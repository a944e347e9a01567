#pragma once

#include <QWidget>

class QLabel;

namespace lumora {

/// One line of the idle screen's feature list: an accent symbol (11 px, in a 16 px column)
/// aligned with the first line of the text (11 px, primary at 72 %), which wraps onto as
/// many lines as the width needs. The text comes localized from the caller.
class FeatureRow : public QWidget {
  Q_OBJECT

public:
  FeatureRow(const QString &icon, const QString &text, QWidget *parent = nullptr);

  [[nodiscard]] QLabel *textLabel() const { return m_text; }
  [[nodiscard]] QLabel *iconLabel() const { return m_icon; }

protected:
  void changeEvent(QEvent *event) override;
  void showEvent(QShowEvent *event) override;

private:
  void refreshColors();

  QString m_symbol;
  QLabel *m_icon;
  QLabel *m_text;
};

} // namespace lumora
