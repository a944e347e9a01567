#pragma once

#include <QWidget>

class QLabel;

namespace lumora {

class ShrinkingLabel;
class ThemedButton;

/// The detail's header on the bar material: the back button, the similar-photo count, the
/// subtitle (date, count, space to free) and the hint where deleted photos go.
class DetailHeaderBar : public QWidget {
  Q_OBJECT

public:
  explicit DetailHeaderBar(QWidget *parent = nullptr);

  void setTexts(const QString &title, const QString &subtitle, const QString &hint);
  [[nodiscard]] ThemedButton *backButton() const { return m_back; }
  [[nodiscard]] QString title() const;
  [[nodiscard]] QString subtitle() const;
  [[nodiscard]] QString hint() const;

signals:
  void backClicked();

protected:
  void paintEvent(QPaintEvent *event) override;
  void changeEvent(QEvent *event) override;

private:
  void applyColors();

  ThemedButton *m_back;
  QLabel *m_title;
  ShrinkingLabel *m_subtitle;
  ShrinkingLabel *m_hint;
};

} // namespace lumora
