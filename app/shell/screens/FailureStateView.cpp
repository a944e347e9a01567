#include "app/shell/screens/FailureStateView.h"

#include "app/shell/screens/FailureRecovery.h"
#include "app/shell/screens/StatusBadge.h"
#include "app/shell/theme/Theme.h"
#include "app/shell/theme/ThemedButton.h"
#include "app/store/AppStore.h"
#include "app/store/texts/Localized.h"

namespace lumora {
namespace {

constexpr int kMessageWidth = 460;
constexpr qreal kBadgeOpacity = 0.14;
// The platform's pink; the theme has no pink of its own, and only this badge uses it.
const QColor kPink = QColor::fromRgbF(1.0f, 0.176f, 0.333f);

QColor tintColor(failurerecovery::Tint tint, const Theme &theme) {
  switch (tint) {
  case failurerecovery::Tint::orange: return theme.orange;
  case failurerecovery::Tint::pink: return kPink;
  case failurerecovery::Tint::secondary: return theme.secondary;
  }
  return theme.orange;
}

void run(AppStore &store, failurerecovery::Action action) {
  switch (action) {
  case failurerecovery::Action::retry: store.retry(); return;
  case failurerecovery::Action::chooseFolder: store.chooseFolder(); return;
  case failurerecovery::Action::openLibrary: store.openLibrary(); return;
  case failurerecovery::Action::openFolderSettings:
    store.openPrivacySettings(AppStore::SourceKind::folder);
    return;
  case failurerecovery::Action::openLibrarySettings:
    store.openPrivacySettings(AppStore::SourceKind::library);
    return;
  }
}

} // namespace

FailureStateView::FailureStateView(AppStore &store, AppStoreTypes::Failure failure, QWidget *parent)
    : StatusScreen(kMessageWidth, parent), m_store(store), m_failure(std::move(failure)) {
  setObjectName(QStringLiteral("FailureStateView"));
  // A later failure of the store replaces the one shown, in place.
  connect(&m_store, &AppStore::phaseChanged, this, [this] {
    if (m_store.phase().kind == AppStore::Phase::Kind::failed) {
      setFailure(m_store.phase().failure);
    }
  });
  refresh();
}

void FailureStateView::setFailure(AppStoreTypes::Failure failure) {
  if (failure == m_failure) {
    return;
  }
  const bool sameKind = failure.kind == m_failure.kind;
  m_failure = std::move(failure);
  m_buttonsBuilt = m_buttonsBuilt && sameKind;
  refresh();
}

void FailureStateView::refresh() {
  const Theme &theme = Theme::of(this);
  const failurerecovery::Badge shown = failurerecovery::badge(m_failure.kind);
  const QColor tint = tintColor(shown.tint, theme);
  QColor fill = tint;
  fill.setAlphaF(tint.alphaF() * kBadgeOpacity);
  badge()->setContent(QString::fromUtf8(shown.symbol), fill, tint);
  setTitle(m_failure.title);
  setMessage(m_failure.message);
  if (!m_buttonsBuilt) {
    rebuildButtons();
  }
}

void FailureStateView::rebuildButtons() {
  clearButtons();
  for (const failurerecovery::Button &spec : failurerecovery::buttons(m_failure.kind)) {
    ThemedButton *button = addButton(localized::string(spec.title));
    const failurerecovery::Action action = spec.action;
    connect(button, &QPushButton::clicked, this, [this, action] { run(m_store, action); });
  }
  m_buttonsBuilt = true;
}

} // namespace lumora
