#pragma once

#include <QDialog>
#include <QPointer>

namespace lumora {

class AppStore;
struct ScreenFactory;

/// The info center as the root view's window-modal sheet, bound to the store's
/// `showsInfoCenter`: the store turning true builds the content through the screen factory
/// on the tab `infoInitialTab` holds at that moment and shows the sheet; the store turning
/// false closes it. Escape and the window's close button write false to the store, which
/// then closes the sheet; the content's own OK button does the same. Every way ends in
/// one store write and one close, never a loop.
///
/// Fixed at 520 × 560. Lives on the GUI thread; the store and factory must outlive it.
class InfoCenterSheet : public QDialog {
  Q_OBJECT

public:
  static constexpr int kWidth = 520;
  static constexpr int kHeight = 560;

  /// `window` is the main window the sheet is modal to. Shows the sheet at once when the
  /// store already asks for it.
  InfoCenterSheet(AppStore &store, const ScreenFactory &factory, QWidget *window);

  /// The content built for the current showing; null while the sheet is closed.
  [[nodiscard]] QWidget *content() const { return m_content; }

  /// Escape and the close button: asks the store to close the sheet.
  void reject() override;

private:
  /// Follows the store: opens or closes the sheet.
  void sync();
  void present();
  void dismiss();

  AppStore &m_store;
  const ScreenFactory &m_factory;
  QPointer<QWidget> m_content;
};

} // namespace lumora
