#pragma once

#include <QWidget>

class QLabel;

namespace lumora {

class AppStore;
class ThemedButton;

/// The start screen: an emblem, a headline, one sentence and five feature lines, and the
/// two ways to begin, a folder (`AppStore::chooseFolder`) or the photo library
/// (`AppStore::openLibrary`). It registers no shortcut: the header bar's Ctrl+O serves this
/// screen too, since Qt fires neither of two live shortcuts with one key sequence.
/// GUI thread.
class IdleStateView : public QWidget {
  Q_OBJECT

public:
  explicit IdleStateView(AppStore &store, QWidget *parent = nullptr);

  [[nodiscard]] ThemedButton *folderButton() const { return m_folder; }
  [[nodiscard]] ThemedButton *libraryButton() const { return m_library; }
  /// The five feature lines as one fixed-width list, as this screen shows them.
  [[nodiscard]] static QWidget *makeFeatureList(QWidget *parent);

protected:
  void paintEvent(QPaintEvent *event) override;
  void changeEvent(QEvent *event) override;

private:
  QLayout *buildHeadline();
  QLayout *buildButtons();
  void applyTheme();

  AppStore &m_store;
  QWidget *m_emblem = nullptr;
  QLabel *m_emblemSymbol = nullptr;
  QLabel *m_title = nullptr;
  QLabel *m_sentence = nullptr;
  ThemedButton *m_folder = nullptr;
  ThemedButton *m_library = nullptr;
};

} // namespace lumora
