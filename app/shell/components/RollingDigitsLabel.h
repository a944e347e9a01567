#pragma once

#include "app/shell/components/PictureSettling.h"
#include "app/shell/motion/MotionAnimation.h"

#include <QWidget>

namespace lumora {

/// A one-line text whose changes roll, over the 0.14 s ease-out: the characters the old and
/// the new text share stay whole and glide to their new places (`rollplan`), the ones that
/// change slide up and out while the new ones slide in from below (counting up). Numbers are the
/// usual content, but any text works. The roll only follows a changing value, so it runs under
/// reduced motion too; a hidden label changes at once.
///
/// The widget takes the width of its text (fixed size policy); while a roll runs it keeps
/// the wider of the old and the new text, so neither loses a character at its edge, and
/// takes the new width when the roll ends. The text hangs from the leading or the trailing
/// edge (`Anchor`): a headline keeps its start in place, a count in a pill its last digit.
class RollingDigitsLabel : public QWidget, public PictureSettling {
  Q_OBJECT

public:
  enum class Anchor { leading, trailing };

  explicit RollingDigitsLabel(QWidget *parent = nullptr);

  void setText(const QString &text);
  [[nodiscard]] const QString &text() const { return m_text; }
  void setColor(const QColor &color);
  void setAnchor(Anchor anchor);
  /// Pins the roll at `progress` (0 = old text, 1 = new) for screenshots.
  void setRollProgress(qreal progress);
  [[nodiscard]] bool isRolling() const;
  /// The width `text` takes as this label draws it (a character at a time).
  [[nodiscard]] int textWidth(const QString &text) const;

  [[nodiscard]] QSize sizeHint() const override;
  [[nodiscard]] QSize minimumSizeHint() const override { return sizeHint(); }

protected:
  /// In a still picture the text stands whole, as it will once the roll ends.
  void setSettledForPicture(bool settled) override { m_settledForPicture = settled; }
  void paintEvent(QPaintEvent *event) override;
  void changeEvent(QEvent *event) override;

private:
  /// The left edge of each character of `text`, as laid out in this widget now.
  [[nodiscard]] QList<qreal> positions(const QString &text) const;
  [[nodiscard]] bool showsPrevious() const;

  QString m_text;
  QString m_previous;
  QColor m_color;
  Anchor m_anchor = Anchor::trailing;
  MotionAnimation m_roll;
  qreal m_progress = 1;
  bool m_settledForPicture = false;
};

} // namespace lumora
