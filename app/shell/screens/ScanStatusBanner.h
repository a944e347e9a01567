#pragma once

#include <QWidget>

class QLabel;
class QStackedWidget;

namespace lumora {

class AppStore;
class LinearProgressBar;
class RollingHeadline;
class Spinner;
class ThemedButton;

/// The one-line status strip over the live results: an activity mark, the headline, a
/// pause or continue button and a thin progress bar. Its mark, background, headline branch
/// and button follow the store's phase alone (scanning or not); the bar shows while the
/// phase is scanning or the scan is paused. Under reduced motion the indeterminate bar is a
/// still 30 % bar and no timer runs. GUI thread.
class ScanStatusBanner : public QWidget {
  Q_OBJECT

public:
  explicit ScanStatusBanner(AppStore &store, QWidget *parent = nullptr);

  [[nodiscard]] LinearProgressBar *progressBar() const { return m_bar; }

protected:
  void paintEvent(QPaintEvent *event) override;
  void changeEvent(QEvent *event) override;

private:
  QLayout *buildRow();
  void refresh();
  void refreshHeadline();
  void refreshBar();
  void applyTheme();
  void buttonClicked();

  AppStore &m_store;
  QStackedWidget *m_mark = nullptr;
  Spinner *m_spinner = nullptr;
  QLabel *m_pausedMark = nullptr;
  RollingHeadline *m_headline = nullptr;
  ThemedButton *m_button = nullptr;
  LinearProgressBar *m_bar = nullptr;
  std::size_t m_shownItemCount = 0;
  std::size_t m_shownGroupCount = 0;
};

} // namespace lumora
