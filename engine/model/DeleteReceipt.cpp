#include "engine/model/DeleteReceipt.h"

namespace lumora {

QString DeleteReceipt::undoHint() const {
  return canUndo() ? QStringLiteral("已移入废纸篓") : QStringLiteral("已移入图库的「最近删除」");
}

} // namespace lumora
