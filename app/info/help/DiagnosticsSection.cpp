#include "app/info/help/DiagnosticsSection.h"

#include "app/info/shared/ExportStatusLine.h"
#include "app/info/shared/InfoStyle.h"
#include "app/shell/components/ShrinkingLabel.h"
#include "app/shell/theme/ThemedButton.h"
#include "app/store/texts/Localized.h"
#include "engine/diagnostics/Diagnostics.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace lumora {

DiagnosticsSection::DiagnosticsSection(DiagnosticsExporter::Chooser chooser, QWidget *parent)
    : InfoSection(QStringLiteral("stethoscope"), 15, &Theme::teal,
                  localized::string("diag.title", "诊断信息"), 8, parent),
      m_chooser(std::move(chooser)) {
  setObjectName(QStringLiteral("diagnosticsSection"));
  addParagraph(localized::string("diag.desc", "诊断日志只保存在本机，不会上传。导出内容用于排查问"
                                              "题，包含版本、系统信息、缓存统计与最近日志。"),
               false);
  column()->addWidget(makeButtonRow());
  m_status = exportstatusline::make(this);
  column()->addWidget(m_status);
  refreshColors();
}

QWidget *DiagnosticsSection::makeButtonRow() {
  QHBoxLayout *layout = nullptr;
  QWidget *row = infostyle::makeRow(this, 10, layout);
  m_exportButton = exportstatusline::makeExportButton(ThemedButton::Size::small, row);
  connect(m_exportButton, &QPushButton::clicked, this, &DiagnosticsSection::exportDiagnostics);
  m_clearButton = new ThemedButton(localized::string("diag.clear", "清除诊断日志"),
                                   ThemedButton::Style::bordered, ThemedButton::Size::small, row);
  m_clearButton->setSymbol(QStringLiteral("trash"));
  m_clearButton->setAccessibleName(m_clearButton->text());
  connect(m_clearButton, &QPushButton::clicked, this, &DiagnosticsSection::clearLog);
  m_clearedBadge = makeClearedBadge(row);
  m_clearedBadge->hide();
  layout->addWidget(m_exportButton);
  layout->addWidget(m_clearButton);
  layout->addWidget(m_clearedBadge);
  layout->addStretch(1);
  return row;
}

QString DiagnosticsSection::diagnosticsStatus() const {
  return m_status->isHidden() ? QString() : m_status->text();
}

void DiagnosticsSection::exportDiagnostics() {
  setStatus(exportstatusline::statusAfterExport(
      DiagnosticsExporter::exportToUserPickedFile(window(), m_chooser)));
}

void DiagnosticsSection::clearLog() {
  Diagnostics::clear();
  m_cleared = true;
  m_clearedBadge->show();
  setStatus({});
}

void DiagnosticsSection::refreshColors() {
  InfoSection::refreshColors();
  if (m_status != nullptr) {
    m_status->setColor(Theme::of(this).secondary);
  }
}

void DiagnosticsSection::setStatus(const QString &status) {
  exportstatusline::show(m_status, status);
  emit stateChanged();
}

} // namespace lumora
