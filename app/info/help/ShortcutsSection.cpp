#include "app/info/help/ShortcutsSection.h"

#include "app/info/shared/InfoStyle.h"
#include "app/store/texts/Localized.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace lumora {

namespace {

constexpr int kRowPixels = 10;

QLabel *rowLabel(const QString &text, const QFont &font, QWidget *parent) {
  auto *label = new QLabel(text, parent);
  label->setFont(font);
  label->setTextFormat(Qt::PlainText);
  label->setTextInteractionFlags(Qt::NoTextInteraction);
  return label;
}

} // namespace

ShortcutsSection::ShortcutsSection(const std::vector<ShortcutRow> &rows, QWidget *parent)
    : InfoSection(QStringLiteral("keyboard"), 11, &Theme::indigo,
                  localized::string("help.shortcuts.title"), 8, parent) {
  auto *table = new QGridLayout;
  table->setContentsMargins(0, 0, 0, 0);
  table->setHorizontalSpacing(10);
  table->setVerticalSpacing(8);
  table->setColumnMinimumWidth(0, kKeyColumn);
  table->setColumnStretch(1, 1);
  const QFont keyFont = Theme::monospacedFont(kRowPixels, Theme::Weight::medium);
  const QFont actionFont = Theme::font(kRowPixels);
  for (const ShortcutRow &row : rows) {
    // A key text wider than its column is cut rather than pushing the action aside.
    QLabel *key = rowLabel(row.shortcut, keyFont, this);
    key->setFixedWidth(kKeyColumn);
    QLabel *action = rowLabel(row.action, actionFont, this);
    action->setWordWrap(true);
    const int line = static_cast<int>(m_rows.size());
    table->addWidget(key, line, 0, Qt::AlignLeft | Qt::AlignTop);
    table->addWidget(action, line, 1, Qt::AlignTop);
    m_rows.emplace_back(key, action);
  }
  column()->addLayout(table);
  refreshColors();
}

void ShortcutsSection::refreshColors() {
  InfoSection::refreshColors();
  const Theme &theme = Theme::of(this);
  for (const auto &[key, action] : m_rows) {
    infostyle::setTextColor(key, theme.primary);
    infostyle::setTextColor(action, theme.primaryAt(0.72));
  }
}

} // namespace lumora
