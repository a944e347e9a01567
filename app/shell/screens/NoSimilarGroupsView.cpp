#include "app/shell/screens/NoSimilarGroupsView.h"

#include "app/shell/screens/StatusBadge.h"
#include "app/shell/screens/ThresholdSteps.h"
#include "app/shell/theme/Theme.h"
#include "app/shell/theme/ThemedButton.h"
#include "app/store/AppStore.h"
#include "app/store/texts/Fmt.h"
#include "app/store/texts/Localized.h"
#include "app/store/texts/Texts.h"

#include "engine/model/SimilarityScale.h"

namespace lumora {
namespace {

constexpr int kMessageWidth = 480;
constexpr qreal kBadgeOpacity = 0.14;

} // namespace

NoSimilarGroupsView::NoSimilarGroupsView(AppStore &store, QWidget *parent)
    : StatusScreen(kMessageWidth, parent), m_store(store) {
  setObjectName(QStringLiteral("NoSimilarGroupsView"));
  setTitle(localized::string("没有发现需要整理的相似照片"));
  m_looser = addButton(localized::string("把相似度调宽松一些"));
  connect(m_looser, &QPushButton::clicked, this,
          [this] { m_store.setThreshold(thresholdsteps::looser(m_store.threshold())); });
  connect(addButton(localized::string("重新扫描")), &QPushButton::clicked, &m_store,
          &AppStore::retry);
  m_stricter = addButton(localized::string("调严格一点"));
  connect(m_stricter, &QPushButton::clicked, this,
          [this] { m_store.setThreshold(thresholdsteps::stricter(m_store.threshold())); });
  connect(&m_store, &AppStore::thresholdChanged, this, &NoSimilarGroupsView::refresh);
  connect(&m_store, &AppStore::itemsChanged, this, &NoSimilarGroupsView::refresh);
  connect(&m_store, &AppStore::lastResultChanged, this, &NoSimilarGroupsView::refresh);
  refresh();
}

void NoSimilarGroupsView::refresh() {
  const Theme &theme = Theme::of(this);
  QColor fill = theme.green;
  fill.setAlphaF(fill.alphaF() * kBadgeOpacity);
  badge()->setContent(QStringLiteral("checkmark.seal"), fill, theme.green);
  const float threshold = m_store.threshold();
  const char *format = "已分析 %@ 张照片，在当前的相似度（%@）下它们各不相同。\n"
                       "把相似度调宽松一些，可能会发现更多可以合并的组。";
  QString message =
      localized::format(format, format,
                        {Fmt::number(static_cast<std::int64_t>(m_store.items().size())),
                         Fmt::percent(SimilarityScale::similarityPercent(threshold))});
  // Photos left out for their size were not compared at all: said, so that the user does
  // not take them for photos without a similar one.
  if (const QString note = texts::tooLargeNote(m_store.lastResult()); !note.isEmpty()) {
    message += QLatin1Char('\n') + note;
  }
  setMessage(message);
  m_looser->setEnabled(thresholdsteps::canLoosen(threshold));
  // Absent, not disabled, at the strictest threshold.
  m_stricter->setVisible(thresholdsteps::canTighten(threshold));
}

} // namespace lumora
