// The preview's screen: its layers, bars, buttons, keys and delete confirmation.
#include "app/detail/PhotoPreviewView.h"

#include "app/detail/ConfirmDialog.h"
#include "app/detail/PreviewBottomBar.h"
#include "app/detail/PreviewStage.h"
#include "app/detail/PreviewTexts.h"
#include "app/detail/PreviewTopBar.h"
#include "app/detail/RoundSymbolButton.h"
#include "app/shell/components/WindowShortcut.h"
#include "app/shell/theme/Spinner.h"
#include "app/shell/theme/Theme.h"
#include "app/store/AppStore.h"
#include "app/store/texts/Localized.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>

namespace lumora {
namespace {

constexpr int kEdgeInset = 20;

} // namespace

PhotoPreviewView::PhotoPreviewView(AppStore &store, QWidget *parent)
    : QWidget(parent), m_store(store), m_stage(new PreviewStage(this)),
      m_topBar(new PreviewTopBar(this)), m_bottomBar(new PreviewBottomBar(this)),
      m_previous(new RoundSymbolButton(QStringLiteral("chevron.left"),
                                       RoundSymbolButton::navigationLook(), this)),
      m_next(new RoundSymbolButton(QStringLiteral("chevron.right"),
                                   RoundSymbolButton::navigationLook(), this)) {
  setObjectName(QStringLiteral("photoPreview"));
  // Light glyphs on the dark screen whatever the window's scheme: the spinners follow it.
  Theme::setScheme(this, ColorScheme::dark);
  m_emptySpinner = new Spinner(32, this);
  m_emptySpinner->setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::StrongFocus);
  // Opaque: a frame of the preview never repaints the screens beneath it.
  setAttribute(Qt::WA_OpaquePaintEvent);
  m_previous->setAccessibleName(localized::string("上一张"));
  m_next->setAccessibleName(localized::string("下一张"));
  connect(m_previous, &QAbstractButton::clicked, this, [this] { m_store.previewStep(-1); });
  connect(m_next, &QAbstractButton::clicked, this, [this] { m_store.previewStep(1); });
  connect(m_topBar, &PreviewTopBar::closeRequested, this,
          [this] { m_store.setPreviewContext(std::nullopt); });
  connect(m_bottomBar, &PreviewBottomBar::favoriteClicked, this, [this] {
    // The photo the bar was drawn for, as the store publishes it now.
    if (const std::optional<PhotoItem> item = m_store.previewItem()) {
      toggleFavorite(*item);
    }
  });
  connect(m_bottomBar, &PreviewBottomBar::deleteClicked, this, &PhotoPreviewView::askToDelete);
  connect(&m_store, &AppStore::previewContextChanged, this, &PhotoPreviewView::refresh);
  connect(&m_store, &AppStore::groupsChanged, this, &PhotoPreviewView::refresh);
  connect(&m_store, &AppStore::itemsChanged, this, &PhotoPreviewView::refresh);
  m_appear.setStartValue(0.0);
  m_appear.setEndValue(1.0);
  connect(&m_appear, &QVariantAnimation::valueChanged, this,
          [this](const QVariant &value) { setAppearProgress(value.toReal()); });
  setAppearProgress(0);
  addShortcuts();
  refresh();
}

PhotoPreviewView::~PhotoPreviewView() = default;

std::optional<PhotoGroup> PhotoPreviewView::group() const {
  const std::optional<AppStore::PreviewContext> &context = m_store.previewContext();
  return context ? m_store.group(context->groupID) : std::nullopt;
}

QString PhotoPreviewView::shownName() const {
  if (!m_displayName.isEmpty()) {
    return m_displayName;
  }
  const std::optional<PhotoItem> item = m_store.previewItem();
  return item ? previewtexts::provisionalName(*item) : QString();
}

// Follows the store: a new photo (or none) starts a load; bars and buttons show the
// store's current photo and group.
void PhotoPreviewView::refresh() {
  const std::optional<PhotoItem> item = m_store.previewItem();
  const std::optional<std::string> id = item ? std::optional(item->id) : std::nullopt;
  if (id != m_shownID || m_generation == 0) {
    m_shownID = id;
    load();
  }
  m_stage->setVisible(item.has_value());
  m_emptySpinner->setVisible(!item.has_value());
  m_topBar->setVisible(item.has_value());
  m_bottomBar->setVisible(item.has_value());
  if (item) {
    updateBars(*item);
  }
  updateButtons();
}

void PhotoPreviewView::updateBars(const PhotoItem &item) {
  m_topBar->setPhoto(item, shownName(), m_store.previewPositionText());
  m_bottomBar->setFavorite(item.isFavorite);
}

// A group of fewer than two photos shows no step buttons and takes no clicks on them.
void PhotoPreviewView::updateButtons() {
  const std::optional<PhotoGroup> shown = group();
  const bool canStep = shown && shown->count() >= 2 && m_store.previewItem();
  m_previous->setVisible(canStep);
  m_next->setVisible(canStep);
}

void PhotoPreviewView::toggleFavorite(const PhotoItem &item) { m_store.toggleFavorite(item); }

void PhotoPreviewView::askToDelete() {
  const std::optional<PhotoItem> item = m_store.previewItem();
  if (!item || m_confirmation) {
    return;
  }
  const AppStore::SourceKind source = m_store.sourceKind();
  m_confirmation =
      confirmdialog::open(this, previewtexts::deleteTitle(source),
                          previewtexts::deleteMessage(*item, shownName(), source),
                          previewtexts::deleteButton(source), [this] { confirmDelete(); });
}

// The photo shown when the user confirmed. A delete of it that still runs (the preview
// stays on it until the engine is done) is not started again.
void PhotoPreviewView::confirmDelete() {
  const std::optional<PhotoItem> item = m_store.previewItem();
  if (!item || m_store.isRemoving(item->id)) {
    return;
  }
  m_store.deleteItem(*item);
}

void PhotoPreviewView::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  layoutChildren();
}

void PhotoPreviewView::layoutChildren() {
  m_stage->setGeometry(rect());
  const int topHeight = m_topBar->sizeHint().height();
  m_topBar->setGeometry(0, 0, width(), topHeight);
  const int bottomHeight = m_bottomBar->sizeHint().height();
  m_bottomBar->setGeometry(0, height() - bottomHeight, width(), bottomHeight);
  const int middle = height() / 2;
  m_previous->move(kEdgeInset, middle - m_previous->height() / 2);
  m_next->move(width() - kEdgeInset - m_next->width(), middle - m_next->height() / 2);
  if (m_emptySpinner) {
    m_emptySpinner->move(rect().center() - m_emptySpinner->rect().center());
  }
}

void PhotoPreviewView::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  painter.fillRect(rect(), PreviewStage::backgroundColor());
}

// The four keys work for the whole window while the preview shows, whatever holds the
// focus, and only without other modifiers than the ones listed: Shift+Left or Alt+Right
// step nothing.
void PhotoPreviewView::addShortcuts() {
  addWindowShortcut(*this, QKeySequence(Qt::Key_Left), [this] { m_store.previewStep(-1); });
  addWindowShortcut(*this, QKeySequence(Qt::Key_Right), [this] { m_store.previewStep(1); });
  addWindowShortcut(*this, QKeySequence(Qt::Key_Escape),
                    [this] { m_store.setPreviewContext(std::nullopt); });
  addWindowShortcut(*this, QKeySequence(Qt::CTRL | Qt::Key_F), [this] {
    if (const std::optional<PhotoItem> item = m_store.previewItem()) {
      toggleFavorite(*item);
    }
  });
}

// Every key the shortcuts leave ends here, so nothing behind the preview acts on a photo
// or a control the user does not see.
void PhotoPreviewView::keyPressEvent(QKeyEvent *event) { event->accept(); }

void PhotoPreviewView::keyReleaseEvent(QKeyEvent *event) { event->accept(); }

// Tab stays in the preview while it shows: the controls under it are covered, and its own
// buttons are worked by the mouse and the shortcuts. Hidden, it hands the focus on.
bool PhotoPreviewView::focusNextPrevChild(bool next) {
  return isVisible() || QWidget::focusNextPrevChild(next);
}

} // namespace lumora
