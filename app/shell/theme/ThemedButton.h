#pragma once

#include <QPushButton>

namespace lumora {

/// A real `QPushButton` (clicks, Space/Return activation, accessibility, `setShortcut`) drawn
/// in the window's look. The phase screens order their buttons by style: the main action
/// `prominent`, the second `bordered`, a minor third one `link`.
///
/// It takes focus by Tab only (never by click); while it has it, a `FocusHalo` surrounds it.
/// With the focus it leaves the arrow keys to its parent instead of moving the focus on.
/// An optional system symbol stands before the title. Disabled buttons draw at 40 % opacity.
class ThemedButton : public QPushButton {
  Q_OBJECT

public:
  enum class Style { prominent, bordered, link };
  enum class Size { small, regular, large };

  explicit ThemedButton(const QString &title, Style style = Style::bordered,
                        Size size = Size::regular, QWidget *parent = nullptr);

  void setButtonStyle(Style style);
  [[nodiscard]] Style buttonStyle() const { return m_style; }
  void setButtonSize(Size size);
  [[nodiscard]] Size buttonSize() const { return m_size; }
  /// A system symbol name drawn before the title; empty for none.
  void setSymbol(const QString &symbol);
  [[nodiscard]] const QString &symbol() const { return m_symbol; }
  /// A colour for the prominent fill or the link text instead of the accent (e.g. red for
  /// a destructive action); invalid restores the accent.
  void setTint(const QColor &tint);

  [[nodiscard]] QSize sizeHint() const override;
  [[nodiscard]] QSize minimumSizeHint() const override;

protected:
  void paintEvent(QPaintEvent *event) override;
  bool event(QEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;
  /// The button's look, drawn with `painter` over the button's rectangle (on the widget, or
  /// on a picture of it).
  void paintFace(QPainter &painter) const;

private:
  struct Metrics {
    int height;
    int fontPx;
    int padding;
    int radius;
    int symbolPx;
  };
  [[nodiscard]] Metrics metrics() const;
  [[nodiscard]] QColor fillColor() const;
  [[nodiscard]] QColor textColor() const;
  void paintLabel(QPainter &painter, const QRectF &rect) const;

  Style m_style;
  Size m_size;
  QString m_symbol;
  QColor m_tint;
  bool m_hovered = false;
};

} // namespace lumora
