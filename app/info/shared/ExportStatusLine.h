#pragma once

#include "app/shell/theme/ThemedButton.h"

#include <QString>
#include <optional>

namespace lumora {

class ShrinkingLabel;

/// The diagnostics export as both tabs show it: the export button and the one-line status
/// under it ("已导出到 <file name>"), 11 px secondary, elided in the middle when too long.
namespace exportstatusline {

/// The hidden status line.
[[nodiscard]] ShrinkingLabel *make(QWidget *parent);
/// The bordered "导出诊断信息…" button with its symbol.
[[nodiscard]] ThemedButton *makeExportButton(ThemedButton::Size size, QWidget *parent);
/// What the line says after an export: the written file's name only, or nothing after a
/// cancel or a failure.
[[nodiscard]] QString statusAfterExport(const std::optional<QString> &writtenPath);
/// Shows `status` on the line, or hides the line for an empty one.
void show(ShrinkingLabel *line, const QString &status);

} // namespace exportstatusline

} // namespace lumora
