#pragma once

#include "app/info/shared/DiagnosticsExporter.h"
#include "app/store/state/AppStoreTypes.h"

#include <QWidget>

class QLabel;
class QScrollArea;

namespace lumora {

class AppStore;
class InfoBar;
class InfoTabPicker;
class ShrinkingLabel;
class ThemedButton;

/// The info center's content, 520 × 560: a header with the app mark, name, tagline and
/// the tab picker; the About or Help tab in a scroll area; a footer with the offline note
/// and the OK button. The tab starts where the creator says and then changes only through
/// the picker and the About tab's help button; each change builds the tab anew. OK writes
/// `setShowsInfoCenter(false)` to the store; Return presses it whatever has the focus. Tab
/// runs picker, scroll region, the tab's buttons (scrolled into view), then OK.
///
/// GUI thread; the store must outlive the view.
class InfoCenterView : public QWidget {
  Q_OBJECT

public:
  using InfoTab = AppStoreTypes::InfoTab;
  static constexpr int kWidth = 520;
  static constexpr int kHeight = 560;

  InfoCenterView(AppStore &store, InfoTab tab, QWidget *parent = nullptr,
                 DiagnosticsExporter::Chooser chooser = DiagnosticsExporter::chooseWithDialog);

  [[nodiscard]] InfoTab tab() const { return m_tab; }
  /// Shows `tab`, built anew; nothing when it is already shown.
  void setTab(InfoTab tab);

  /// The shown tab's widget: an `AboutContent` or a `HelpContent`.
  [[nodiscard]] QWidget *content() const { return m_content; }
  [[nodiscard]] InfoTabPicker *picker() const { return m_picker; }
  [[nodiscard]] QScrollArea *scrollArea() const { return m_scroll; }
  [[nodiscard]] ThemedButton *okButton() const { return m_ok; }

signals:
  void tabChanged();

protected:
  void paintEvent(QPaintEvent *event) override;
  void changeEvent(QEvent *event) override;

private:
  InfoBar *makeHeader();
  InfoBar *makeFooter();
  void buildContent();
  void placeOkLastInTabOrder(QWidget *page);
  void pressOkOnReturn();
  void refreshColors();

  AppStore &m_store;
  InfoTab m_tab;
  DiagnosticsExporter::Chooser m_chooser;
  QLabel *m_title = nullptr;
  ShrinkingLabel *m_tagline = nullptr;
  ShrinkingLabel *m_footerNote = nullptr;
  InfoTabPicker *m_picker = nullptr;
  QScrollArea *m_scroll = nullptr;
  QWidget *m_content = nullptr;
  ThemedButton *m_ok = nullptr;
};

} // namespace lumora
