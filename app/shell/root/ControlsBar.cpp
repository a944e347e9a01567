#include "app/shell/root/ControlsBar.h"

#include "app/shell/components/ShrinkingLabel.h"
#include "app/shell/components/StatPill.h"
#include "app/shell/motion/Motion.h"
#include "app/shell/root/SimilaritySlider.h"
#include "app/shell/theme/FocusHalo.h"
#include "app/shell/theme/Spinner.h"
#include "app/shell/theme/Theme.h"
#include "app/shell/theme/ThemedButton.h"
#include "app/shell/transition/EntranceEffect.h"
#include "app/store/AppStore.h"
#include "app/store/texts/Fmt.h"
#include "app/store/texts/Localized.h"
#include "app/store/texts/Texts.h"
#include "engine/model/SimilarityScale.h"
#include "platform/gui/Symbols.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSignalBlocker>
#include <QSlider>

namespace lumora {
namespace {

constexpr int kSliderMinWidth = 200;
constexpr int kSliderMaxWidth = 380;
constexpr int kValueWidth = 46;
constexpr int kSpinnerFrame = 14;

} // namespace

ControlsBar::ControlsBar(AppStore &store, QWidget *parent) : QWidget(parent), m_store(store) {
  auto *row = new QHBoxLayout(this);
  row->setContentsMargins(20, 10, 20, 10);
  row->setSpacing(12);
  row->addWidget(makeTitle());
  makeSlider();
  // Spare width goes to the slider until it is 380 px wide, then to the spacer; the hint
  // keeps its own width and is the first to shrink.
  row->addWidget(m_slider, 100);
  row->addWidget(m_value);
  row->addWidget(m_hintBox);
  row->addWidget(m_reset);
  row->addStretch(1);
  row->addSpacing(8 - row->spacing());
  makeSpinner();
  row->addWidget(m_spinnerFrame);
  makePills();
  auto *pills = new QHBoxLayout;
  pills->setSpacing(8);
  pills->addWidget(m_photos);
  pills->addWidget(m_groups);
  pills->addWidget(m_speed);
  row->addLayout(pills);
  connect(&m_store, &AppStore::thresholdChanged, this, &ControlsBar::refreshThreshold);
  connect(&m_store, &AppStore::isRegroupingChanged, this,
          [this] { m_spinnerFrame->setVisible(m_store.isRegrouping()); });
  connect(&m_store, &AppStore::itemsChanged, this, &ControlsBar::refreshPills);
  connect(&m_store, &AppStore::groupCountShownChanged, this, &ControlsBar::refreshPills);
  connect(&m_store, &AppStore::lastResultChanged, this, &ControlsBar::refreshPills);
  refreshThreshold();
  refreshHintVisibility(false);
  refreshColors();
}

QWidget *ControlsBar::makeTitle() {
  auto *title = new QWidget(this);
  auto *row = new QHBoxLayout(title);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(5);
  m_titleIcon = new QLabel(title);
  m_titleIcon->setFixedSize(13, 13);
  m_titleText = new QLabel(localized::string("相似度"), title);
  m_titleText->setFont(Theme::font(12, Theme::Weight::medium));
  row->addWidget(m_titleIcon);
  row->addWidget(m_titleText);
  title->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  return title;
}

void ControlsBar::makeSlider() {
  m_slider = new QSlider(Qt::Horizontal, this);
  m_slider->setRange(0, similarityslider::kPositionCount - 1);
  m_slider->setSingleStep(1);
  m_slider->setPageStep(1);
  m_slider->setMinimumWidth(kSliderMinWidth);
  m_slider->setMaximumWidth(kSliderMaxWidth);
  m_slider->setFocusPolicy(Qt::TabFocus);
  FocusHalo::install(m_slider, 4);
  m_slider->setToolTip(localized::string("往右更宽松（会合并更多照片），往左更严格"));
  m_slider->setAccessibleName(localized::string("相似度"));
  connect(m_slider, &QSlider::valueChanged, this, &ControlsBar::sliderMoved);
  m_value = new QLabel(this);
  m_value->setFont(Theme::font(13, Theme::Weight::semibold));
  m_value->setFixedWidth(kValueWidth);
  m_value->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  m_value->setToolTip(localized::string("当前相似度门槛"));
  // The box carries the hint's tooltip (the label shows its own only while shortened).
  m_hintBox = new QWidget(this);
  m_hintBox->setMinimumWidth(1);
  auto *hintLayout = new QHBoxLayout(m_hintBox);
  hintLayout->setContentsMargins(0, 0, 0, 0);
  m_hint = new ShrinkingLabel({}, m_hintBox);
  m_hint->setFont(Theme::font(11));
  m_hint->setMinimumScaleFactor(0.85);
  m_hint->setElideMode(Qt::ElideRight);
  hintLayout->addWidget(m_hint);
  m_reset = new ThemedButton(localized::string("恢复推荐值"), ThemedButton::Style::link,
                             ThemedButton::Size::small, this);
  m_reset->setFont(Theme::font(11));
  m_reset->setFocusPolicy(Qt::TabFocus);
  m_reset->setToolTip(localized::string("回到推荐阈值 0.30"));
  connect(m_reset, &QPushButton::clicked, this,
          [this] { m_store.setThreshold(SimilarityScale::defaultThreshold); });
}

void ControlsBar::makeSpinner() {
  m_spinnerFrame = new QWidget(this);
  m_spinnerFrame->setFixedSize(kSpinnerFrame, kSpinnerFrame);
  m_spinnerFrame->setToolTip(localized::string("正在重新分组…"));
  // The small spinner at 80 % of the frame, centred.
  m_spinner = new Spinner(kSpinnerFrame * 4 / 5, m_spinnerFrame);
  const int inset = (kSpinnerFrame - m_spinner->sizeHint().width()) / 2;
  m_spinner->move(inset, inset);
  m_spinnerFrame->setVisible(m_store.isRegrouping());
}

void ControlsBar::makePills() {
  m_photos =
      new StatPill(QStringLiteral("photo.on.rectangle"), {}, localized::string("张照片"), this);
  m_groups = new StatPill(QStringLiteral("square.stack.3d.up"), {}, localized::string("组"), this);
  m_speed = new StatPill(QStringLiteral("timer"), {}, localized::string("ms/张"), this);
  refreshPills();
}

void ControlsBar::sliderMoved(int position) {
  m_store.setThreshold(similarityslider::thresholdAt(position));
}

void ControlsBar::refreshThreshold() {
  const float threshold = m_store.threshold();
  {
    // Showing the store's value must not write it back (an off-grid value stays).
    const QSignalBlocker blocker(m_slider);
    m_slider->setValue(similarityslider::positionOf(threshold));
  }
  const QString percent = similarityslider::percentText(threshold);
  m_value->setText(percent);
  m_slider->setAccessibleDescription(localized::format("相似度 %@", "相似度 %@", {percent}));
  m_hint->setText(texts::similarityHint(threshold));
  m_hintBox->setToolTip(localized::format(
      "阈值 %@", "阈值 %@", {QString::asprintf("%.2f", static_cast<double>(threshold))}));
  m_reset->setVisible(!similarityslider::isRecommended(threshold));
}

void ControlsBar::refreshHintVisibility(bool animated) {
  const bool wide = isWide();
  if (m_hintBox->isVisibleTo(this) == wide) {
    return;
  }
  m_hintBox->setVisible(wide);
  if (wide && animated) {
    EntranceEffect::start(m_hintBox, motion::fast());
  }
}

void ControlsBar::refreshPills() {
  m_photos->setValue(Fmt::number(static_cast<std::int64_t>(m_store.items().size())));
  m_groups->setValue(Fmt::number(static_cast<std::int64_t>(m_store.groupCountShown())));
  const auto &result = m_store.lastResult();
  m_speed->setValue(
      Fmt::msPerPhoto(result ? std::optional<double>(result->msPerPhoto()) : std::nullopt));
}

void ControlsBar::refreshColors() {
  const Theme &theme = Theme::of(this);
  m_titleIcon->setPixmap(platform::symbols::pixmap(QStringLiteral("slider.horizontal.3"), 13,
                                                   theme.secondary, devicePixelRatioF()));
  QPalette palette = this->palette();
  palette.setColor(QPalette::WindowText, theme.secondary);
  m_titleText->setPalette(palette);
  palette.setColor(QPalette::WindowText, theme.primary);
  m_value->setPalette(palette);
  palette = m_slider->palette();
  palette.setColor(QPalette::Highlight, theme.accent);
  m_slider->setPalette(palette);
  m_hint->setColor(theme.secondary);
}

void ControlsBar::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  painter.fillRect(rect(), Theme::of(this).thinMaterial);
}

void ControlsBar::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  m_barWidth = width();
  refreshHintVisibility(true);
}

void ControlsBar::changeEvent(QEvent *event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) {
    refreshColors();
  }
}

} // namespace lumora
