#include "app/info/shared/ExportStatusLine.h"

#include "app/shell/components/ShrinkingLabel.h"
#include "app/shell/theme/Theme.h"
#include "app/store/texts/Localized.h"

#include <QFileInfo>

namespace lumora::exportstatusline {

ShrinkingLabel *make(QWidget *parent) {
  auto *line = new ShrinkingLabel(QString(), parent);
  line->setObjectName(QStringLiteral("exportStatus"));
  line->setFont(Theme::font(11));
  // Never smaller: a long name loses its middle instead.
  line->setMinimumScaleFactor(1.0);
  line->setElideMode(Qt::ElideMiddle);
  line->hide();
  return line;
}

ThemedButton *makeExportButton(ThemedButton::Size size, QWidget *parent) {
  auto *button = new ThemedButton(localized::string("diag.export", "导出诊断信息…"),
                                  ThemedButton::Style::bordered, size, parent);
  button->setSymbol(QStringLiteral("square.and.arrow.up"));
  button->setAccessibleName(button->text());
  return button;
}

QString statusAfterExport(const std::optional<QString> &writtenPath) {
  if (!writtenPath) {
    return {};
  }
  return localized::format("diag.exported", "已导出到 %@", {QFileInfo(*writtenPath).fileName()});
}

void show(ShrinkingLabel *line, const QString &status) {
  line->setText(status);
  line->setVisible(!status.isEmpty());
}

} // namespace lumora::exportstatusline
