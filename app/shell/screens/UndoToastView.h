#pragma once

#include "app/store/state/AppStoreTypes.h"

#include <QMargins>
#include <QWidget>

class QLabel;

namespace lumora {

class AppStore;
class ShrinkingLabel;
class SymbolButton;
class ThemedButton;

/// The floating card that reports a clean-up, a delete or an undo: a status icon, the
/// store's message (wrapping; Chinese breaks anywhere) and detail (one line, elided), an
/// undo button while the toast can undo, and a close button. Close always clears the toast
/// (`AppStore::dismissToast`); undo only asks the store (`AppStore::undoLastCleanup`),
/// which decides whether and when the toast goes. A new toast the store publishes replaces
/// the one shown.
///
/// The card is as wide as its content within the width the host offers: the host sizes
/// the widget with `sizeFor` and places it; the widget keeps `shadowMargins()` of room
/// around the card for its shadow. GUI thread.
class UndoToastView : public QWidget {
  Q_OBJECT

public:
  UndoToastView(AppStore &store, AppStoreTypes::UndoToast toast, QWidget *parent = nullptr);

  [[nodiscard]] const AppStoreTypes::UndoToast &toast() const { return m_toast; }
  /// Shows another toast's texts and buttons.
  void setToast(AppStoreTypes::UndoToast toast);

  /// The room around the card that its shadow takes.
  [[nodiscard]] static QMargins shadowMargins();
  /// Where the card lies inside the widget.
  [[nodiscard]] QRect cardRect() const;
  /// The widget's size for a card at most `maxCardWidth` wide: as wide as the content
  /// wants, the message wrapped to fit.
  [[nodiscard]] QSize sizeFor(int maxCardWidth) const;
  [[nodiscard]] QSize sizeHint() const override;
  [[nodiscard]] bool hasHeightForWidth() const override { return true; }
  [[nodiscard]] int heightForWidth(int width) const override;

  [[nodiscard]] ThemedButton *undoButton() const { return m_undo; }
  [[nodiscard]] SymbolButton *closeButton() const { return m_close; }

protected:
  void paintEvent(QPaintEvent *event) override;
  void changeEvent(QEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;

private:
  void buildRow();
  void refresh();
  void applyTheme();
  /// The width of everything in the row but the text column.
  [[nodiscard]] int fixedRowWidth() const;
  [[nodiscard]] int naturalTextWidth() const;
  /// The text column's width in a widget `width` wide.
  [[nodiscard]] int textWidth(int width) const;
  /// Sizes the message to wrap within the text column (QLabel's own answer goes stale).
  void fitMessage();

  AppStore &m_store;
  AppStoreTypes::UndoToast m_toast;
  QLabel *m_icon = nullptr;
  QLabel *m_message = nullptr;
  ShrinkingLabel *m_detail = nullptr;
  QWidget *m_divider = nullptr;
  ThemedButton *m_undo = nullptr;
  SymbolButton *m_close = nullptr;
};

} // namespace lumora
