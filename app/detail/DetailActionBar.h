#pragma once

#include <QWidget>

class QLabel;

namespace lumora {

class ShrinkingLabel;
class Spinner;
class ThemedButton;

/// The detail's bottom bar on the bar material: what the clean-up keeps and frees, and
/// the red clean-up button, which shows a spinner while this group is being cleaned.
class DetailActionBar : public QWidget {
  Q_OBJECT

public:
  explicit DetailActionBar(QWidget *parent = nullptr);

  void setTexts(const QString &title, const QString &subtitle);
  /// The button's title, accessibility hint, whether it takes clicks and whether this
  /// group's clean-up runs (spinner instead of the trash symbol).
  void setCleanup(const QString &title, const QString &hint, bool enabled, bool running);
  [[nodiscard]] ThemedButton *cleanupButton() const { return m_cleanup; }
  [[nodiscard]] Spinner *spinner() const { return m_spinner; }
  [[nodiscard]] QString title() const;
  [[nodiscard]] QString subtitle() const;

signals:
  void cleanupClicked();

protected:
  void paintEvent(QPaintEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;
  void changeEvent(QEvent *event) override;

private:
  void placeSpinner();
  void applyColors();

  QLabel *m_title;
  ShrinkingLabel *m_subtitle;
  ThemedButton *m_cleanup;
  Spinner *m_spinner;
};

} // namespace lumora
