#pragma once

#include "app/info/shared/DiagnosticsExporter.h"
#include "app/info/shared/ShortcutTable.h"

#include <QWidget>
#include <vector>

namespace lumora {

class AppStore;
class CacheSection;
class DiagnosticsSection;
class ExplanatorySection;
class ShortcutsSection;

/// The Help and privacy tab: the shortcut table, the privacy, deletion and score notes,
/// the cache section and the diagnostics section, top to bottom, 18 px apart. Built anew
/// each time the tab is shown, so its flags and status lines start empty.
class HelpContent : public QWidget {
  Q_OBJECT

public:
  HelpContent(AppStore &store, DiagnosticsExporter::Chooser chooser, QWidget *parent = nullptr);

  /// The table's rows, built once per process.
  [[nodiscard]] static const std::vector<ShortcutRow> &shortcuts();

  /// The six sections in the order shown.
  [[nodiscard]] QList<QWidget *> sections() const;
  [[nodiscard]] ShortcutsSection *shortcutsSection() const { return m_shortcuts; }
  [[nodiscard]] const std::vector<ExplanatorySection *> &explanatorySections() const {
    return m_explanations;
  }
  [[nodiscard]] CacheSection *cacheSection() const { return m_cache; }
  [[nodiscard]] DiagnosticsSection *diagnosticsSection() const { return m_diagnostics; }

private:
  void addExplanations();

  ShortcutsSection *m_shortcuts;
  std::vector<ExplanatorySection *> m_explanations;
  CacheSection *m_cache = nullptr;
  DiagnosticsSection *m_diagnostics = nullptr;
};

} // namespace lumora
