#pragma once

#include "app/info/help/InfoSection.h"
#include "app/info/shared/ShortcutTable.h"

#include <vector>

class QLabel;

namespace lumora {

/// The keyboard-shortcut table at the top of the Help tab: an 11 px keyboard symbol, the
/// title and one row per shortcut, 8 px apart. The key column is 132 px wide, so every
/// action starts at the same x; keys are 10 px monospaced, actions 10 px at 72 % and
/// wrapping. Rows cannot be selected, and each text is read by itself.
class ShortcutsSection : public InfoSection {
  Q_OBJECT

public:
  static constexpr int kKeyColumn = 132;

  explicit ShortcutsSection(const std::vector<ShortcutRow> &rows, QWidget *parent = nullptr);

  /// The key and action label of each row, in order.
  [[nodiscard]] const std::vector<std::pair<QLabel *, QLabel *>> &rowLabels() const {
    return m_rows;
  }

protected:
  void refreshColors() override;

private:
  std::vector<std::pair<QLabel *, QLabel *>> m_rows;
};

} // namespace lumora
