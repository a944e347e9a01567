#pragma once

#include <QWidget>

class QLabel;
class QHBoxLayout;

namespace lumora {

class AppStore;
class RollingDigitsLabel;
class ShrinkingLabel;
class SortPicker;
class ThemedButton;

/// The strip above the results grid. Normally it sums up the results (groups, what a full
/// clean-up frees, where cleaned photos go, what the last scan skipped, what was cleaned so
/// far) and carries the select button and the sort picker; while the store is selecting it
/// is the batch toolbar (what is selected, clean up, select all, clear, done).
///
/// Every text and enable state is recomputed once per store change it depends on; the bar
/// keeps nothing of its own but its padding. Its buttons take focus by Tab only. GUI thread.
class SummaryBar : public QWidget {
  Q_OBJECT

public:
  /// The bar's width from which its sides get the wide padding.
  static constexpr int kWidePaddingFrom = 1064;

  explicit SummaryBar(AppStore &store, QWidget *parent = nullptr);

  /// The horizontal padding now: 20 before the first layout, then 14 below
  /// `kWidePaddingFrom` and 20 from there on.
  [[nodiscard]] int horizontalPadding() const;

  // The parts, for hosts and tests.
  [[nodiscard]] QString title() const;
  [[nodiscard]] QString subtitle() const;
  [[nodiscard]] QString trashedText() const;
  [[nodiscard]] bool showsBatchRow() const;
  [[nodiscard]] ThemedButton *selectButton() const { return m_select; }
  [[nodiscard]] SortPicker *sortPicker() const { return m_sort; }
  [[nodiscard]] ThemedButton *cleanupButton() const { return m_cleanup; }
  [[nodiscard]] ThemedButton *selectAllButton() const { return m_selectAll; }
  [[nodiscard]] ThemedButton *clearButton() const { return m_clear; }
  [[nodiscard]] ThemedButton *doneButton() const { return m_done; }

protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void changeEvent(QEvent *event) override;

private:
  void buildNormalRow();
  void buildBatchRow();
  void connectStore();
  void refresh();
  void refreshNormal();
  void refreshBatch();
  void applyColors();

  AppStore &m_store;
  bool m_laidOut = false;
  QHBoxLayout *m_layout;
  RollingDigitsLabel *m_title;
  ShrinkingLabel *m_subtitle;
  QWidget *m_normalRow;
  QWidget *m_trashed;
  QLabel *m_trashedIcon;
  QLabel *m_trashedLabel;
  ThemedButton *m_select;
  SortPicker *m_sort;
  QWidget *m_batchRow;
  ThemedButton *m_cleanup;
  ThemedButton *m_selectAll;
  ThemedButton *m_clear;
  ThemedButton *m_done;
};

} // namespace lumora
