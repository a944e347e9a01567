#include "app/info/help/InfoSection.h"

#include "app/info/shared/InfoStyle.h"
#include "app/store/texts/Localized.h"
#include "platform/gui/Symbols.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

namespace lumora {

namespace {

constexpr int kIconColumn = 22;
constexpr int kTitlePixels = 13;
constexpr int kParagraphPixels = 11;
constexpr int kBadgeSymbolPixels = 11;

/// The badge's check mark, redrawn in the theme's green when the scheme changes.
class ClearedBadge : public QWidget {
public:
  explicit ClearedBadge(QWidget *parent) : QWidget(parent) {
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    m_icon = new QLabel(this);
    m_text = new QLabel(localized::string("diag.cleared", "已清除"), this);
    m_text->setFont(Theme::font(kParagraphPixels));
    layout->addWidget(m_icon);
    layout->addWidget(m_text);
    setObjectName(QStringLiteral("clearedBadge"));
    setAccessibleName(m_text->text());
    refresh();
  }

protected:
  void changeEvent(QEvent *event) override {
    if (event->type() == QEvent::PaletteChange) {
      refresh();
    }
    QWidget::changeEvent(event);
  }

private:
  void refresh() {
    const QColor green = Theme::of(this).green;
    m_icon->setPixmap(platform::symbols::pixmap(QStringLiteral("checkmark.circle.fill"),
                                                kBadgeSymbolPixels, green, devicePixelRatioF()));
    infostyle::setTextColor(m_text, green);
  }

  QLabel *m_icon;
  QLabel *m_text;
};

} // namespace

InfoSection::InfoSection(const QString &symbol, int symbolPixels, Tint tint, const QString &title,
                         int spacing, QWidget *parent)
    : QWidget(parent), m_symbol(symbol), m_symbolPixels(symbolPixels), m_tint(tint),
      m_icon(new QLabel(this)), m_title(new QLabel(title, this)), m_column(new QVBoxLayout) {
  auto *row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(10);
  m_icon->setFixedWidth(kIconColumn);
  m_icon->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  m_icon->setContentsMargins(0, 1, 0, 0);
  row->addWidget(m_icon, 0, Qt::AlignTop);
  m_title->setFont(Theme::font(kTitlePixels, Theme::Weight::semibold));
  m_title->setTextFormat(Qt::PlainText);
  m_column->setContentsMargins(0, 0, 0, 0);
  m_column->setSpacing(spacing);
  m_column->addWidget(m_title);
  row->addLayout(m_column, 1);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Minimum);
  refreshColors();
}

QLabel *InfoSection::makeParagraph(const QString &text, bool selectable, QWidget *parent) {
  auto *label = new QLabel(text, parent);
  label->setFont(Theme::font(kParagraphPixels));
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  label->setTextInteractionFlags(selectable ? Qt::TextSelectableByMouse : Qt::NoTextInteraction);
  // Its height follows from the width it gets, so the paragraph wraps without gaps.
  QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  policy.setHeightForWidth(true);
  label->setSizePolicy(policy);
  infostyle::setTextColor(label, Theme::of(parent).secondary);
  return label;
}

QWidget *InfoSection::makeClearedBadge(QWidget *parent) { return new ClearedBadge(parent); }

QLabel *InfoSection::addParagraph(const QString &text, bool selectable) {
  QLabel *label = makeParagraph(text, selectable, this);
  m_column->addWidget(label);
  m_paragraphs.push_back(label);
  return label;
}

void InfoSection::refreshColors() {
  const Theme &theme = Theme::of(this);
  m_icon->setPixmap(
      platform::symbols::pixmap(m_symbol, m_symbolPixels, theme.*m_tint, devicePixelRatioF()));
  infostyle::setTextColor(m_title, theme.primary);
  for (QLabel *paragraph : m_paragraphs) {
    infostyle::setTextColor(paragraph, theme.secondary);
  }
}

void InfoSection::changeEvent(QEvent *event) {
  if (event->type() == QEvent::PaletteChange) {
    refreshColors();
  }
  QWidget::changeEvent(event);
}

} // namespace lumora
