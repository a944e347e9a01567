#pragma once

#include "app/info/help/InfoSection.h"
#include "app/info/shared/DiagnosticsExporter.h"

namespace lumora {

class ShrinkingLabel;
class ThemedButton;

/// The diagnostics log: what it holds, an export through the save dialog and a clearing
/// without confirmation. Shows "已清除" once the log was cleared (for as long as the
/// section lives) and the last export's file name, which each clearing removes.
class DiagnosticsSection : public InfoSection {
  Q_OBJECT

public:
  DiagnosticsSection(DiagnosticsExporter::Chooser chooser, QWidget *parent = nullptr);

  [[nodiscard]] bool diagnosticsCleared() const { return m_cleared; }
  /// The status line's text; empty while none is shown.
  [[nodiscard]] QString diagnosticsStatus() const;
  [[nodiscard]] ThemedButton *exportButton() const { return m_exportButton; }
  [[nodiscard]] ThemedButton *clearButton() const { return m_clearButton; }
  [[nodiscard]] ShrinkingLabel *statusLine() const { return m_status; }

signals:
  void stateChanged();

protected:
  void refreshColors() override;

private:
  QWidget *makeButtonRow();
  void exportDiagnostics();
  void clearLog();
  void setStatus(const QString &status);

  DiagnosticsExporter::Chooser m_chooser;
  bool m_cleared = false;
  ThemedButton *m_exportButton = nullptr;
  ThemedButton *m_clearButton = nullptr;
  QWidget *m_clearedBadge = nullptr;
  ShrinkingLabel *m_status = nullptr;
};

} // namespace lumora
