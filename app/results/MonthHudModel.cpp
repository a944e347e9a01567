#include "app/results/MonthHudModel.h"

namespace lumora {

MonthHudModel::MonthHudModel(QObject *parent) : QObject(parent) {
  m_hideTimer.setSingleShot(true);
  m_hideTimer.setInterval(kHideDelayMs);
  connect(&m_hideTimer, &QTimer::timeout, this, [this] { setShowHUD(false); });
}

void MonthHudModel::noteMonth(const QString &monthID, const QString &title) {
  if (m_currentMonthID != monthID) {
    m_currentMonthID = monthID;
    emit currentMonthIDChanged();
    if (m_currentTitle != title) {
      m_currentTitle = title;
      emit currentTitleChanged();
    }
  }
  m_receivedInitial = true;
}

void MonthHudModel::noteScroll(const QString &monthID, const QString &title) {
  const bool initial = !m_receivedInitial;
  noteMonth(monthID, title);
  if (initial) {
    m_receivedInitial = true;
    return;
  }
  setShowHUD(true);
  m_hideTimer.start();
}

void MonthHudModel::setShowHUD(bool show) {
  if (m_showHUD == show) {
    return;
  }
  m_showHUD = show;
  emit showHUDChanged();
}

} // namespace lumora
