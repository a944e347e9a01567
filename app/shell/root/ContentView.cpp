#include "app/shell/root/ContentView.h"

#include "app/shell/InfoCenterSheet.h"
#include "app/shell/SelfTestSeam.h"
#include "app/shell/components/FocusRingOverlay.h"
#include "app/shell/components/HeroNamespace.h"
#include "app/shell/components/LeavingPicture.h"
#include "app/shell/components/WindowBackground.h"
#include "app/shell/motion/Motion.h"
#include "app/shell/root/AlertPresenter.h"
#include "app/shell/root/ControlsBar.h"
#include "app/shell/root/Divider.h"
#include "app/shell/root/HeaderBar.h"
#include "app/shell/root/PhaseScreenHost.h"
#include "app/shell/root/RootScreen.h"
#include "app/shell/root/ToastSlot.h"
#include "app/shell/transition/EntranceEffect.h"
#include "app/shell/transition/ScreenTransition.h"
#include "app/store/AppStore.h"
#include "platform/gui/ReduceMotion.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>

namespace lumora {
namespace {

/// Keeps every child of a body widget filling it.
class FillLayout : public QObject {
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() == QEvent::Resize) {
      auto *host = static_cast<QWidget *>(watched);
      for (QWidget *child : host->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (!qobject_cast<LeavingPicture *>(child)) {
          child->setGeometry(host->rect());
        }
      }
    }
    return false;
  }
};

} // namespace

ContentView::ContentView(AppStore &store, ScreenFactory factory, QWidget *parent)
    : QWidget(parent), m_store(store), m_factory(std::move(factory)) {
  setMinimumSize(kMinimumSize);
  m_background = new WindowBackground(this);
  m_background->lower();
  auto *column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  m_header = new HeaderBar(m_store, this);
  m_body = new QWidget(this);
  m_body->installEventFilter(new FillLayout(m_body));
  column->addWidget(m_header);
  column->addWidget(new Divider(this));
  column->addWidget(m_body, 1);
  m_hero = new HeroNamespace(this);
  m_transition = new ScreenTransition(m_store.thumbnails(), this);
  m_toast = new ToastSlot(m_store, this);
  m_sheet = new InfoCenterSheet(m_store, m_factory, this);
  m_alerts = new AlertPresenter(m_store, this);
  // Before the preview's own connections: it is photographed before it follows a change.
  for (auto signal : {&AppStore::groupsChanged, &AppStore::itemsChanged}) {
    connect(&m_store, signal, this, &ContentView::keepPreviewAsShown);
  }
  connect(&m_store, &AppStore::detailGroupIDChanged, this, &ContentView::syncDetail);
  connect(&m_store, &AppStore::groupsChanged, this, &ContentView::syncDetail);
  connect(&m_store, &AppStore::previewContextChanged, this, &ContentView::syncPreview);
  connect(qApp, &QApplication::focusChanged, this,
          [this](QWidget *, QWidget *now) { keepFocusUncovered(now); });
  if (rootscreen::detailGroup(m_store)) {
    showDetail(*m_store.detailGroupID(), false);
  } else {
    buildMainBranch();
  }
  syncPreview();
}

ContentView::~ContentView() = default;

UndoToastView *ContentView::toastView() const { return m_toast->view(); }

void ContentView::buildMainBranch() {
  m_main = new QWidget(m_body);
  auto *column = new QVBoxLayout(m_main);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  m_controls = new ControlsBar(m_store, m_main);
  m_phase = new PhaseScreenHost(m_store, m_factory, m_hero, m_main);
  column->addWidget(m_controls);
  column->addWidget(new Divider(m_main));
  column->addWidget(m_phase, 1);
  m_main->setGeometry(m_body->rect());
  m_main->show();
}

void ContentView::syncDetail() {
  const std::optional<PhotoGroup> group = rootscreen::detailGroup(m_store);
  if (!group) {
    leaveDetail();
  } else if (m_detailID != m_store.detailGroupID()) {
    // Another group while one shows replaces the detail in place.
    showDetail(*m_store.detailGroupID(), !m_detail);
  }
}

void ContentView::showDetail(const std::string &groupID, bool animated) {
  QWidget *leaving = m_main;
  m_main = nullptr;
  m_controls = nullptr;
  m_phase = nullptr;
  if (m_detail) {
    m_detail->hide();
    m_detail->deleteLater();
  }
  const bool slides = animated && !platform::reduceMotion() && m_store.isSelecting();
  if (animated && !slides) {
    // The zoom carries the card's photo to the detail.
    m_hero->beginTransition(QString::fromStdString(groupID));
  }
  m_detail = m_factory.makeGroupDetail(m_store, groupID, m_hero, m_body);
  m_detailID = groupID;
  m_detail->setGeometry(m_body->rect());
  m_detail->show();
  if (leaving == nullptr) {
    return;
  }
  if (!animated) {
    leaving->hide();
    leaving->deleteLater();
    return;
  }
  // The results' picture fades out over the detail. A plain fade dissolves the results'
  // whole picture into the detail drawn beneath it; a slide fades the detail in as it
  // moves.
  cross(leaving, m_detail, slides);
}

void ContentView::leaveDetail() {
  if (!m_detail) {
    return;
  }
  const bool slides = !platform::reduceMotion() && m_store.isSelecting();
  if (m_detailID && !slides) {
    m_hero->beginTransition(QString::fromStdString(*m_detailID));
  }
  QWidget *leaving = m_detail;
  m_detail = nullptr;
  m_detailID.reset();
  buildMainBranch();
  // The detail's picture, sliding or not, covers the results drawn in full beneath it.
  cross(leaving, m_main, slides);
}

// One ring at a time: the leaving screen's picture shows none, the arriving screen's ring
// comes in with it. The zoom flies once the arriving screen is laid out and, for the detail,
// its photos are there; until then the window shows the leaving screen whole.
void ContentView::cross(QWidget *leaving, QWidget *entering, bool slides) {
  const bool reduce = platform::reduceMotion();
  ScreenTransition::Move move{reduce ? motion::fast() : motion::smooth()};
  const bool entersFromDetail = entering == m_detail;
  if (slides) {
    // The detail slides in from the trailing edge, or the detail's picture slides out.
    move.overBackdrop = !entersFromDetail;
    move.entrance = entersFromDetail;
    move.enteringFades = true;
    move.enteringOffset = entersFromDetail ? QPointF(m_body->width(), 0) : QPointF();
    move.leavingOffset = entersFromDetail ? QPointF() : QPointF(m_body->width(), 0);
  } else {
    move.entrance = false;
  }
  // Back to the results, the photo the user follows flies to its card and lands as its
  // photo: the move starts at once rather than standing while the grid's other photos,
  // evicted from the cache meanwhile, decode (they fade in on their places).
  move.waitsForPhotos = entersFromDetail;
  for (QWidget *ring : leaving->findChildren<FocusRingOverlay *>()) {
    ring->hide();
  }
  m_transition->replace(leaving, entering, move, [hero = QPointer<HeroNamespace>(m_hero)] {
    if (hero) {
      hero->finishTransition();
    }
  });
}

void ContentView::syncPreview() {
  const bool shows = m_store.previewContext().has_value();
  if (shows == static_cast<bool>(m_preview)) {
    return;
  }
  const MotionCurve curve = platform::reduceMotion() ? motion::fast() : motion::easeOut(0.2);
  if (shows) {
    m_preview = m_factory.makePhotoPreview(m_store, this);
    m_preview->setGeometry(rect());
    m_preview->show();
    EntranceEffect::start(m_preview, curve);
  } else {
    // Let go first: the focus leaves the hidden preview for the screen beneath.
    QWidget *leaving = m_preview;
    m_preview = nullptr;
    QPixmap shown = std::exchange(m_previewShown, QPixmap());
    LeavingPicture::replace(leaving, shown.isNull() ? LeavingPicture::pictureOf(leaving) : shown,
                            curve);
  }
  layoutLayers();
}

// A deletion in the preview changes the groups (the preview steps on to the next photo and
// starts loading it) and closes the preview in the same action: its exit shows it as it was.
void ContentView::keepPreviewAsShown() {
  if (!m_preview || !m_previewShown.isNull()) {
    return;
  }
  m_previewShown = LeavingPicture::pictureOf(m_preview);
  releasePreviewShown(0);
}

// The deletion takes the photo out first and closes the preview only once the regroup is in,
// which on a busy machine can take many turns: the picture waits for it, else the exit would
// show the next photo the preview has stepped on to.
void ContentView::releasePreviewShown(int afterMs) {
  constexpr int kRecheckMs = 20;
  QTimer::singleShot(afterMs, this, [this] {
    if (m_preview && !m_previewShown.isNull() && previewPhotoIsBeingRemoved()) {
      releasePreviewShown(kRecheckMs);
      return;
    }
    m_previewShown = QPixmap();
  });
}

bool ContentView::previewPhotoIsBeingRemoved() const {
  const std::optional<AppStore::PreviewContext> &context = m_store.previewContext();
  if (!context) {
    return false;
  }
  for (const PhotoGroup &group : m_store.groups()) {
    if (group.id == context->groupID) {
      const auto index = static_cast<std::size_t>(context->index);
      return context->index >= 0 && index < group.items.size() &&
             m_store.isRemoving(group.items[index].id);
    }
  }
  return false;
}

// While the preview shows, the controls beneath it are covered: none of them may hold the
// focus (where Space would press a button the user cannot see). Whatever moves the focus
// there, it goes back to the preview. The undo toast lies above the preview and keeps it.
void ContentView::keepFocusUncovered(QWidget *now) {
  if (!m_preview || !now || now == m_preview || m_preview->isAncestorOf(now) ||
      !isAncestorOf(now)) {
    return;
  }
  if (QWidget *toast = toastView(); toast && (toast == now || toast->isAncestorOf(now))) {
    return;
  }
  m_preview->setFocus(Qt::OtherFocusReason);
}

void ContentView::showEvent(QShowEvent *event) {
  QWidget::showEvent(event);
  if (!m_bootstrapped) {
    m_bootstrapped = true;
    // The window starts with the content focused, not the first bar button.
    if (!window()->focusWidget()) {
      setFocus(Qt::OtherFocusReason);
    }
    // A self-test scans with a store and engine of its own; a second scan here would share
    // the analysis cache with it.
    if (!selfTestRequested()) {
      m_store.bootstrap();
    }
  }
}

void ContentView::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  layoutLayers();
}

void ContentView::layoutLayers() {
  m_background->setGeometry(rect());
  if (m_preview) {
    m_preview->setGeometry(rect());
    m_preview->raise();
  }
  m_toast->layout();
}

} // namespace lumora
