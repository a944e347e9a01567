#include "app/shell/root/HeaderBar.h"

#include "app/shell/components/AppMark.h"
#include "app/shell/components/ShrinkingLabel.h"
#include "app/shell/motion/Motion.h"
#include "app/shell/theme/Theme.h"
#include "app/shell/theme/ThemedButton.h"
#include "app/shell/transition/EntranceEffect.h"
#include "app/store/AppStore.h"
#include "app/store/texts/Localized.h"
#include "platform/gui/Symbols.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QShortcut>
#include <QVBoxLayout>

namespace lumora {
namespace {

constexpr int kIconOnlySide = 28;

ThemedButton *makeButton(const char *title, const char *symbol, ThemedButton::Style style,
                         const char *tip, QWidget *parent) {
  auto *button =
      new ThemedButton(localized::string(title), style, ThemedButton::Size::large, parent);
  button->setSymbol(QString::fromLatin1(symbol));
  button->setToolTip(localized::string(tip));
  button->setFocusPolicy(Qt::TabFocus);
  return button;
}

} // namespace

HeaderBar::HeaderBar(AppStore &store, QWidget *parent) : QWidget(parent), m_store(store) {
  auto *row = new QHBoxLayout(this);
  row->setContentsMargins(kPadding, 12, kPadding, 12);
  row->setSpacing(12);
  row->addWidget(new AppMark(32, this));
  row->addWidget(makeBrand(), 1);
  row->addSpacing(16 - row->spacing());
  makeButtons();
  row->addWidget(m_library);
  row->addWidget(m_folder);
  row->addWidget(m_rescan);
  makeShortcuts();
  connect(&m_store, &AppStore::phaseChanged, this, &HeaderBar::refreshEnabled);
  connect(&m_store, &AppStore::folderURLChanged, this, &HeaderBar::refreshEnabled);
  connect(&m_store, &AppStore::folderURLChanged, this, &HeaderBar::refreshSource);
  connect(&m_store, &AppStore::sourceKindChanged, this, &HeaderBar::refreshSource);
  refreshEnabled();
  refreshSource();
  refreshColors();
}

bool HeaderBar::isCompactWidth(int rowWidth) { return rowWidth > 0 && rowWidth < kWideFrom; }

QWidget *HeaderBar::makeBrand() {
  auto *brand = new QWidget(this);
  auto *column = new QVBoxLayout(brand);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(2);
  auto *titleRow = new QHBoxLayout;
  titleRow->setSpacing(8);
  m_name = new QLabel(localized::string("Pindle"), brand);
  m_name->setFont(Theme::font(15, Theme::Weight::semibold));
  m_tagline = new ShrinkingLabel(
      localized::string("brand.tagline", "不烧心的相册管理 · AI 选片助手"), brand);
  m_tagline->setFont(Theme::font(11));
  m_tagline->setMinimumScaleFactor(0.85);
  m_tagline->setElideMode(Qt::ElideRight);
  titleRow->addWidget(m_name, 0, Qt::AlignBaseline);
  titleRow->addWidget(m_tagline, 1, Qt::AlignBaseline);
  column->addLayout(titleRow);
  column->addWidget(makeSourceRow());
  return brand;
}

QWidget *HeaderBar::makeSourceRow() {
  m_sourceRow = new QWidget(this);
  auto *row = new QHBoxLayout(m_sourceRow);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(5);
  m_sourceIcon = new QLabel(m_sourceRow);
  m_sourceIcon->setFixedSize(12, 12);
  m_sourceText = new ShrinkingLabel({}, m_sourceRow);
  m_sourceText->setFont(Theme::font(11));
  m_sourceText->setMinimumScaleFactor(1.0);
  m_sourceText->setElideMode(Qt::ElideMiddle);
  row->addWidget(m_sourceIcon, 0, Qt::AlignVCenter);
  row->addWidget(m_sourceText, 1, Qt::AlignVCenter);
  return m_sourceRow;
}

void HeaderBar::makeButtons() {
  using Style = ThemedButton::Style;
  m_library = makeButton("照片图库", "photo.on.rectangle", Style::bordered,
                         "扫描「照片」App 图库（菜单「文件」里也有）", this);
  m_folder = makeButton("选择文件夹…", "folder.badge.plus", Style::prominent,
                        "选择一个文件夹，自动分析其中的照片（⌘O）", this);
  m_rescan =
      makeButton("重新扫描", "arrow.clockwise", Style::bordered, "重新分析当前文件夹（⌘R）", this);
  m_library->setMinimumSize(kIconOnlySide, kIconOnlySide);
  m_rescan->setMinimumSize(kIconOnlySide, kIconOnlySide);
  m_library->setAccessibleName(localized::string("照片图库"));
  m_rescan->setAccessibleName(localized::string("重新扫描"));
  connect(m_library, &QPushButton::clicked, &m_store, &AppStore::openLibrary);
  connect(m_folder, &QPushButton::clicked, &m_store, &AppStore::chooseFolder);
  connect(m_rescan, &QPushButton::clicked, &m_store, &AppStore::retry);
}

void HeaderBar::makeShortcuts() {
  // Window-wide, so they also serve the idle screen and the detail; one shortcut per key
  // sequence, since Qt fires neither of two live ones.
  m_chooseShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), this);
  m_rescanShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this);
  m_chooseShortcut->setContext(Qt::WindowShortcut);
  m_rescanShortcut->setContext(Qt::WindowShortcut);
  connect(m_chooseShortcut, &QShortcut::activated, &m_store, &AppStore::chooseFolder);
  connect(m_rescanShortcut, &QShortcut::activated, &m_store, &AppStore::retry);
}

void HeaderBar::refreshEnabled() {
  const bool scanning = m_store.phase().isScanning();
  const bool canRescan = !scanning && m_store.folderURL().has_value();
  m_library->setEnabled(!scanning);
  m_folder->setEnabled(!scanning);
  m_rescan->setEnabled(canRescan);
  m_chooseShortcut->setEnabled(!scanning);
  m_rescanShortcut->setEnabled(canRescan);
}

void HeaderBar::refreshSource() {
  const bool library = m_store.sourceKind() == AppStore::SourceKind::library;
  QString text;
  QString tip;
  if (library) {
    text = localized::string("「照片」App 图库");
    tip = localized::string("照片来自「照片」App 图库，删除会进入「最近删除」");
  } else if (m_store.folderURL()) {
    text = m_store.folderURL()->toLocalFile();
    tip = text;
  } else {
    text = localized::string("还没有选择文件夹");
  }
  m_sourceText->setText(text);
  m_sourceRow->setToolTip(tip);
  refreshColors();
}

void HeaderBar::refreshLabels() {
  const bool compact = isCompact();
  m_library->setText(compact ? QString() : localized::string("照片图库"));
  m_rescan->setText(compact ? QString() : localized::string("重新扫描"));
}

void HeaderBar::refreshColors() {
  const Theme &theme = Theme::of(this);
  const bool library = m_store.sourceKind() == AppStore::SourceKind::library;
  m_sourceIcon->setPixmap(
      platform::symbols::pixmap(QString::fromLatin1(library ? "photo.on.rectangle" : "folder"), 12,
                                theme.secondary, devicePixelRatioF()));
  QPalette palette = m_name->palette();
  palette.setColor(QPalette::WindowText, theme.primary);
  m_name->setPalette(palette);
  m_tagline->setColor(theme.secondary);
  m_sourceText->setColor(theme.secondary);
}

void HeaderBar::paintEvent(QPaintEvent *) {
  m_painted = true;
  QPainter painter(this);
  painter.fillRect(rect(), Theme::of(this).barMaterial);
}

void HeaderBar::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  const bool wasCompact = isCompact();
  m_rowWidth = width() - 2 * kPadding;
  if (isCompact() != wasCompact) {
    refreshLabels();
    // The buttons change between title-and-symbol and symbol alone with the bars' 0.14 s
    // ease-out, in both motion settings. Widths measured before the bar was first painted
    // (the window takes its size as it is shown) only set them: the first frame shows the
    // labels of the window's first size.
    if (m_painted) {
      EntranceEffect::start(m_library, motion::fast());
      EntranceEffect::start(m_rescan, motion::fast());
    }
  }
}

void HeaderBar::changeEvent(QEvent *event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) {
    refreshColors();
  }
}

} // namespace lumora
