#pragma once

#include <QWidget>

class QLabel;
class QSlider;

namespace lumora {

class AppStore;
class ShrinkingLabel;
class Spinner;
class StatPill;
class ThemedButton;

/// The thin bar under the header above every phase screen: the similarity slider with its
/// percentage, a hint for the current value while the bar is at least 1040 px wide, a link
/// back to the recommended 0.30, a spinner while a regroup is pending, and the photos,
/// groups and speed pills.
///
/// The slider has 38 positions; moving it writes the position's threshold to the store,
/// which regroups after its debounce. A store value is shown without being written back,
/// so an off-grid value stays as the store holds it. The slider and the link take focus
/// by Tab only. GUI thread only.
class ControlsBar : public QWidget {
  Q_OBJECT

public:
  /// The bar width from which the hint shows.
  static constexpr int kWideFrom = 1040;

  explicit ControlsBar(AppStore &store, QWidget *parent = nullptr);

  [[nodiscard]] static bool isWideWidth(int barWidth) { return barWidth >= kWideFrom; }
  [[nodiscard]] bool isWide() const { return isWideWidth(m_barWidth); }

  [[nodiscard]] QSlider *slider() const { return m_slider; }
  [[nodiscard]] QLabel *valueLabel() const { return m_value; }
  [[nodiscard]] ShrinkingLabel *hintLabel() const { return m_hint; }
  [[nodiscard]] ThemedButton *resetLink() const { return m_reset; }
  [[nodiscard]] QWidget *spinner() const { return m_spinnerFrame; }
  [[nodiscard]] StatPill *photosPill() const { return m_photos; }
  [[nodiscard]] StatPill *groupsPill() const { return m_groups; }
  [[nodiscard]] StatPill *speedPill() const { return m_speed; }

protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void changeEvent(QEvent *event) override;

private:
  [[nodiscard]] QWidget *makeTitle();
  void makeSlider();
  void makeSpinner();
  void makePills();
  void sliderMoved(int position);
  void refreshThreshold();
  void refreshHintVisibility(bool animated);
  void refreshPills();
  void refreshColors();

  AppStore &m_store;
  int m_barWidth = 0;
  QLabel *m_titleIcon = nullptr;
  QLabel *m_titleText = nullptr;
  QSlider *m_slider = nullptr;
  QLabel *m_value = nullptr;
  QWidget *m_hintBox = nullptr;
  ShrinkingLabel *m_hint = nullptr;
  ThemedButton *m_reset = nullptr;
  QWidget *m_spinnerFrame = nullptr;
  Spinner *m_spinner = nullptr;
  StatPill *m_photos = nullptr;
  StatPill *m_groups = nullptr;
  StatPill *m_speed = nullptr;
};

} // namespace lumora
