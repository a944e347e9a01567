#include "app/shell/screens/IdleStateView.h"

#include "app/shell/components/CardShadow.h"
#include "app/shell/components/FeatureRow.h"
#include "app/shell/screens/ScreenLabels.h"
#include "app/shell/theme/Theme.h"
#include "app/shell/theme/ThemedButton.h"
#include "app/store/AppStore.h"
#include "app/store/texts/Localized.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

namespace lumora {
namespace {

constexpr int kEmblem = 116;
constexpr int kEmblemSymbol = 44;
constexpr int kFeatureWidth = 380;
// A feature row's symbol column and the gap after it.
constexpr int kFeatureTextInset = 16 + 8;

struct Feature {
  const char *icon;
  const char *text;
};

constexpr Feature kFeatures[] = {
    {"lock.shield", "完全离线：不上传任何照片，也不联网"},
    {"square.stack.3d.up", "按相似度自动分组，每组只保留分数最高的一张"},
    {"sparkles", "Apple Vision 美学打分，0–10 分一眼看懂"},
    {"photo.on.rectangle", "也能整理「照片」App 图库，删除进「最近删除」"},
    {"trash", "文件夹照片移到废纸篓，可在 Finder 中恢复"},
};

} // namespace

IdleStateView::IdleStateView(AppStore &store, QWidget *parent) : QWidget(parent), m_store(store) {
  setObjectName(QStringLiteral("IdleStateView"));
  auto *outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 24, 0, 24);
  outer->setSpacing(0);
  outer->addStretch(1);
  auto *content = new QVBoxLayout;
  content->setContentsMargins(30, 30, 30, 30);
  content->setSpacing(18);
  m_emblem = new QWidget(this);
  m_emblem->setFixedSize(kEmblem, kEmblem);
  auto *emblemLayout = new QVBoxLayout(m_emblem);
  emblemLayout->setContentsMargins(0, 0, 0, 0);
  m_emblemSymbol = new QLabel(m_emblem);
  emblemLayout->addWidget(m_emblemSymbol, 0, Qt::AlignCenter);
  content->addWidget(m_emblem, 0, Qt::AlignHCenter);
  content->addLayout(buildHeadline());
  content->addWidget(makeFeatureList(this), 0, Qt::AlignHCenter);
  content->addLayout(buildButtons());
  outer->addLayout(content);
  outer->addStretch(1);
  applyTheme();
}

QLayout *IdleStateView::buildHeadline() {
  auto *block = new QVBoxLayout;
  block->setSpacing(7);
  m_title = screenlabels::make(localized::string("把重复的相似照片收拾干净"),
                               Theme::font(22, Theme::Weight::semibold), this);
  m_sentence = screenlabels::make(
      localized::string(
          "选一个照片文件夹，或直接扫描「照片」App 图库；相似分组与美学打分都在本机完成。"),
      Theme::font(13), this, true);
  m_sentence->setAlignment(Qt::AlignHCenter);
  block->addWidget(m_title, 0, Qt::AlignHCenter);
  block->addWidget(m_sentence);
  return block;
}

QWidget *IdleStateView::makeFeatureList(QWidget *parent) {
  auto *list = new QWidget(parent);
  list->setObjectName(QStringLiteral("features"));
  list->setFixedWidth(kFeatureWidth);
  auto *column = new QVBoxLayout(list);
  column->setContentsMargins(0, 2, 0, 0);
  column->setSpacing(10);
  for (const Feature &feature : kFeatures) {
    auto *row =
        new FeatureRow(QString::fromUtf8(feature.icon), localized::string(feature.text), list);
    // The list's width is fixed, so each text's height is known: a label left to find its
    // own height answers from a stale width and sits a line too low.
    screenlabels::setWrappedHeight(row->textLabel(), kFeatureWidth - kFeatureTextInset);
    column->addWidget(row);
  }
  return list;
}

QLayout *IdleStateView::buildButtons() {
  auto *row = new QHBoxLayout;
  row->setContentsMargins(0, 4, 0, 0);
  row->setSpacing(10);
  row->addStretch(1);
  m_folder = new ThemedButton(localized::string("选择文件夹…"), ThemedButton::Style::prominent,
                              ThemedButton::Size::large, this);
  m_folder->setSymbol(QStringLiteral("folder.badge.plus"));
  connect(m_folder, &QPushButton::clicked, &m_store, &AppStore::chooseFolder);
  m_library = new ThemedButton(localized::string("扫描照片图库"), ThemedButton::Style::bordered,
                               ThemedButton::Size::large, this);
  m_library->setSymbol(QStringLiteral("photo.on.rectangle"));
  connect(m_library, &QPushButton::clicked, &m_store, &AppStore::openLibrary);
  row->addWidget(m_folder);
  row->addWidget(m_library);
  row->addStretch(1);
  return row;
}

void IdleStateView::paintEvent(QPaintEvent *) {
  const Theme &theme = Theme::of(this);
  const QRectF circle = QRectF(m_emblem->geometry());
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QColor glow = theme.accent;
  glow.setAlphaF(0.18f);
  cardshadow::paint(painter, circle, {kEmblem / 2.0, 18, glow, {0, 6}});
  QLinearGradient gradient(circle.topLeft(), circle.bottomRight());
  QColor from = theme.accent;
  QColor to = theme.accent;
  from.setAlphaF(0.22f);
  to.setAlphaF(0.05f);
  gradient.setColorAt(0, from);
  gradient.setColorAt(1, to);
  painter.setPen(Qt::NoPen);
  painter.setBrush(gradient);
  painter.drawEllipse(circle);
}

void IdleStateView::changeEvent(QEvent *event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) {
    applyTheme();
  }
}

void IdleStateView::applyTheme() {
  const Theme &theme = Theme::of(this);
  screenlabels::setSymbol(m_emblemSymbol, QStringLiteral("photo.stack"), kEmblemSymbol,
                          theme.accent);
  screenlabels::setTextColor(m_title, theme.primary);
  screenlabels::setTextColor(m_sentence, theme.secondary);
  update();
}

} // namespace lumora
