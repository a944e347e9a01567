#include "app/info/InfoCenterView.h"

#include "app/info/AboutContent.h"
#include "app/info/HelpContent.h"
#include "app/info/InfoBar.h"
#include "app/info/InfoTabPicker.h"
#include "app/info/shared/InfoStyle.h"
#include "app/shell/components/AppMark.h"
#include "app/shell/components/ShrinkingLabel.h"
#include "app/shell/theme/FocusHalo.h"
#include "app/shell/theme/Theme.h"
#include "app/shell/theme/ThemedButton.h"
#include "app/store/AppStore.h"
#include "app/store/texts/Localized.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>

namespace lumora {

namespace {

constexpr int kBarHorizontalPadding = 20;
constexpr int kBarVerticalPadding = 12;
constexpr int kContentPadding = 20;

QHBoxLayout *barLayout(InfoBar *bar, int spacing) {
  auto *layout = new QHBoxLayout(bar);
  layout->setContentsMargins(kBarHorizontalPadding, kBarVerticalPadding, kBarHorizontalPadding,
                             kBarVerticalPadding);
  layout->setSpacing(spacing);
  return layout;
}

} // namespace

InfoCenterView::InfoCenterView(AppStore &store, InfoTab tab, QWidget *parent,
                               DiagnosticsExporter::Chooser chooser)
    : QWidget(parent), m_store(store), m_tab(tab), m_chooser(std::move(chooser)) {
  setObjectName(QStringLiteral("infoCenterView"));
  setFixedSize(kWidth, kHeight);
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(makeHeader());
  m_scroll = new QScrollArea(this);
  m_scroll->setFrameShape(QFrame::NoFrame);
  m_scroll->setWidgetResizable(true);
  m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  m_scroll->viewport()->setAutoFillBackground(false);
  // With the focus the region scrolls by the arrow keys; it lies flush with the bars, so its
  // ring runs inside its edge.
  FocusHalo::install(m_scroll, 0, FocusHalo::Placement::inside);
  layout->addWidget(m_scroll, 1);
  layout->addWidget(makeFooter());
  buildContent();
  refreshColors();
  pressOkOnReturn();
  // Tabbing into the tab's buttons scrolls each into view: a button below the fold would
  // otherwise take the focus unseen.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
    if (m_scroll->widget() != nullptr && m_scroll->widget()->isAncestorOf(now)) {
      m_scroll->ensureWidgetVisible(now);
    }
  });
}

void InfoCenterView::pressOkOnReturn() {
  // A focused button in a dialog presses itself on Return; the sheet's Return always means
  // 好, whichever control has the focus (Space still presses the focused one).
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
    auto *shortcut = new QShortcut(QKeySequence(key), this);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(shortcut, &QShortcut::activated, m_ok, &QAbstractButton::click);
  }
}

InfoBar *InfoCenterView::makeHeader() {
  auto *bar = new InfoBar(InfoBar::DividerEdge::bottom, this);
  QHBoxLayout *layout = barLayout(bar, 12);
  layout->addWidget(new AppMark(36, bar), 0, Qt::AlignVCenter);
  auto *names = new QVBoxLayout;
  names->setSpacing(2);
  m_title = new QLabel(localized::string("Pindle"), bar);
  m_title->setFont(Theme::font(17, Theme::Weight::semibold));
  m_tagline =
      new ShrinkingLabel(localized::string("app.tagline", "不烧心的相册管理 · AI 选片助手"), bar);
  m_tagline->setFont(Theme::font(11));
  m_tagline->setMinimumScaleFactor(0.8);
  m_tagline->setElideMode(Qt::ElideRight);
  names->addWidget(m_title);
  names->addWidget(m_tagline);
  layout->addLayout(names, 1);
  m_picker = new InfoTabPicker(m_tab, bar);
  connect(m_picker, &InfoTabPicker::tabChanged, this, [this] { setTab(m_picker->tab()); });
  layout->addWidget(m_picker, 0, Qt::AlignVCenter);
  return bar;
}

InfoBar *InfoCenterView::makeFooter() {
  auto *bar = new InfoBar(InfoBar::DividerEdge::top, this);
  QHBoxLayout *layout = barLayout(bar, 10);
  m_footerNote = new ShrinkingLabel(
      localized::string("info.footer", "本 App 完全离线运行，不收集任何数据。"), bar);
  m_footerNote->setFont(Theme::font(11));
  m_footerNote->setMinimumScaleFactor(0.75);
  m_footerNote->setElideMode(Qt::ElideRight);
  layout->addWidget(m_footerNote, 1);
  m_ok = new ThemedButton(localized::string("common.ok", "好"), ThemedButton::Style::prominent,
                          ThemedButton::Size::regular, bar);
  m_ok->setDefault(true);
  m_ok->setAccessibleName(localized::string("info.close", "关闭信息面板"));
  connect(m_ok, &QPushButton::clicked, this, [this] { m_store.setShowsInfoCenter(false); });
  layout->addWidget(m_ok, 0, Qt::AlignVCenter);
  return bar;
}

void InfoCenterView::setTab(InfoTab tab) {
  if (m_tab == tab) {
    return;
  }
  m_tab = tab;
  m_picker->setTab(tab);
  buildContent();
  emit tabChanged();
}

void InfoCenterView::buildContent() {
  // The old tab may be mid-way through the click that switched tabs: delete it later.
  if (QWidget *old = m_scroll->takeWidget()) {
    old->hide();
    old->deleteLater();
  }
  auto *page = new QWidget;
  page->setAutoFillBackground(false);
  // The page takes the viewport's width and the height its wrapped text needs there; its
  // own minimum would be measured at a narrow width and leave a gap below the content.
  page->setMinimumSize(1, 1);
  auto *layout = new QVBoxLayout(page);
  layout->setContentsMargins(kContentPadding, kContentPadding, kContentPadding, kContentPadding);
  if (m_tab == InfoTab::about) {
    auto *about = new AboutContent(m_chooser, page);
    connect(about, &AboutContent::showHelp, this, [this] { setTab(InfoTab::help); });
    m_content = about;
  } else {
    m_content = new HelpContent(m_store, m_chooser, page);
  }
  layout->addWidget(m_content);
  m_scroll->setWidget(page);
  m_scroll->verticalScrollBar()->setValue(0);
  placeOkLastInTabOrder(page);
}

void InfoCenterView::placeOkLastInTabOrder(QWidget *page) {
  // The new tab joins the focus chain at its end, after 好: move 好 behind the tab's last
  // control, so Tab runs picker, scroll region, the tab's buttons, then 好.
  QWidget *last = nullptr;
  for (QWidget *w = m_ok->nextInFocusChain(); w != m_ok; w = w->nextInFocusChain()) {
    if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) != 0) {
      last = w;
    }
  }
  if (last != nullptr) {
    QWidget::setTabOrder(last, m_ok);
  }
}

void InfoCenterView::paintEvent(QPaintEvent *) {
  QPainter(this).fillRect(rect(), Theme::of(this).windowBackground);
}

void InfoCenterView::refreshColors() {
  const Theme &theme = Theme::of(this);
  infostyle::setTextColor(m_title, theme.primary);
  m_tagline->setColor(theme.secondary);
  m_footerNote->setColor(theme.primaryAt(0.72));
  update();
}

void InfoCenterView::changeEvent(QEvent *event) {
  if (event->type() == QEvent::PaletteChange) {
    refreshColors();
  }
  QWidget::changeEvent(event);
}

} // namespace lumora
