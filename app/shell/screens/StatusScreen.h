#pragma once

#include <QWidget>
#include <vector>

class QHBoxLayout;
class QLabel;

namespace lumora {

class StatusBadge;
class ThemedButton;

/// The skeleton the failure, empty-results and no-similar screens share: in the middle of
/// all the space they get, a badge, a title, a message that wraps (never truncated) and a
/// row of buttons whose position gives their style (prominent, bordered, then link).
/// Subclasses fill it in `refresh()`, which also runs when the colour scheme changes.
/// GUI thread.
class StatusScreen : public QWidget {
  Q_OBJECT

public:
  [[nodiscard]] StatusBadge *badge() const { return m_badge; }
  [[nodiscard]] QLabel *titleLabel() const { return m_title; }
  [[nodiscard]] QLabel *messageLabel() const { return m_message; }
  /// The buttons, left to right (hidden ones included).
  [[nodiscard]] const std::vector<ThemedButton *> &buttons() const { return m_buttons; }

protected:
  StatusScreen(int messageMaxWidth, QWidget *parent);

  /// Brings the screen up to date with the store and the colour scheme.
  virtual void refresh() {}
  void changeEvent(QEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;

  void setTitle(const QString &title);
  void setMessage(const QString &message);
  /// Adds a button at the right end, styled by its position.
  ThemedButton *addButton(const QString &title);
  void clearButtons();

private:
  void applyTextColors();
  void fitTexts();

  int m_messageMaxWidth;
  StatusBadge *m_badge = nullptr;
  QLabel *m_title = nullptr;
  QLabel *m_message = nullptr;
  QHBoxLayout *m_buttonRow = nullptr;
  std::vector<ThemedButton *> m_buttons;
};

} // namespace lumora
