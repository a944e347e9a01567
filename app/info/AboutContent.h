#pragma once

#include "app/info/shared/DiagnosticsExporter.h"

#include <QWidget>

class QLabel;

namespace lumora {

class ShrinkingLabel;
class ThemedButton;

/// The About tab: the app mark, name, tagline, version, a way to the Help tab, the
/// diagnostics export with its status line, and the contact line, centred in a column.
/// Built anew each time the tab is shown, so the status line starts empty.
class AboutContent : public QWidget {
  Q_OBJECT

public:
  AboutContent(DiagnosticsExporter::Chooser chooser, QWidget *parent = nullptr);

  /// "版本 <short>（build <build>）" from the string table, with the application's version.
  [[nodiscard]] static QString versionText();
  [[nodiscard]] static QString versionText(const QString &shortVersion, const QString &build);

  /// The status line's text; empty while none is shown.
  [[nodiscard]] QString exportStatus() const;
  [[nodiscard]] QLabel *versionLabel() const { return m_version; }
  [[nodiscard]] ThemedButton *helpButton() const { return m_helpButton; }
  [[nodiscard]] ThemedButton *exportButton() const { return m_exportButton; }
  [[nodiscard]] ShrinkingLabel *statusLine() const { return m_status; }

signals:
  /// The help button: the sheet switches to the Help tab.
  void showHelp();
  void exportStatusChanged();

protected:
  void changeEvent(QEvent *event) override;

private:
  QWidget *makeIdentity();
  QWidget *makeButtons();
  void exportDiagnostics();
  void refreshColors();

  DiagnosticsExporter::Chooser m_chooser;
  QLabel *m_name = nullptr;
  QLabel *m_tagline = nullptr;
  QLabel *m_version = nullptr;
  QWidget *m_divider = nullptr;
  ThemedButton *m_helpButton = nullptr;
  ThemedButton *m_exportButton = nullptr;
  ShrinkingLabel *m_status = nullptr;
  QLabel *m_contact = nullptr;
};

} // namespace lumora
