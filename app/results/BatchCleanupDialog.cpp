#include "app/results/BatchCleanupDialog.h"

#include "app/results/CleanupConfirmation.h"
#include "app/results/SummaryBarTexts.h"
#include "app/store/AppStore.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace lumora {

BatchCleanupDialog::BatchCleanupDialog(AppStore &store, QWidget *host)
    : QObject(host), m_store(store), m_host(host) {
  connect(&m_store, &AppStore::isBatchConfirmPresentedChanged, this,
          &BatchCleanupDialog::presentedChanged);
  for (auto changed : {&AppStore::selectedGroupIDsChanged, &AppStore::groupsChanged,
                       &AppStore::sourceKindChanged}) {
    connect(&m_store, changed, this, [this] {
      if (m_box) {
        rebuildTexts();
      }
    });
  }
  presentedChanged();
}

BatchCleanupDialog::~BatchCleanupDialog() {
  if (m_box) {
    m_box->disconnect(this);
    m_box->close();
  }
}

void BatchCleanupDialog::presentedChanged() {
  if (m_store.isBatchConfirmPresented() && !m_box) {
    open();
  } else if (!m_store.isBatchConfirmPresented() && m_box) {
    m_box->close();
  }
}

void BatchCleanupDialog::open() {
  m_box = cleanupconfirmation::make(m_host, QString(), QString(), QString());
  rebuildTexts();
  connect(cleanupconfirmation::confirmButton(*m_box), &QAbstractButton::clicked, this,
          [this] { m_store.cleanupSelected(m_shownVictims); });
  // Any way out (a button, Escape, the window's close) sets the flag back.
  connect(m_box, &QDialog::finished, this, [this] {
    // Gone for good (it deletes itself later): the next request opens a new one.
    m_box = nullptr;
    m_store.setIsBatchConfirmPresented(false);
  });
  m_box->open();
}

void BatchCleanupDialog::rebuildTexts() {
  const auto source = m_store.sourceKind();
  const std::int64_t victims = m_store.selectedVictimCount();
  m_shownVictims = m_store.selectedVictimIDs();
  cleanupconfirmation::setTexts(
      *m_box, summarybartexts::confirmTitle(source, victims),
      summarybartexts::confirmMessage(source, victims),
      summarybartexts::confirmButton(source, m_store.selectedReclaimableBytes()));
}

} // namespace lumora
