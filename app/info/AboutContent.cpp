#include "app/info/AboutContent.h"

#include "app/info/shared/ExportStatusLine.h"
#include "app/info/shared/InfoStyle.h"
#include "app/shell/AppInfo.h"
#include "app/shell/components/AppMark.h"
#include "app/shell/components/ShrinkingLabel.h"
#include "app/shell/theme/Theme.h"
#include "app/store/texts/Localized.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace lumora {

namespace {

QLabel *centredText(const QString &text, const QFont &font, QWidget *parent) {
  auto *label = new QLabel(text, parent);
  label->setFont(font);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignHCenter);
  label->setWordWrap(true);
  return label;
}

} // namespace

AboutContent::AboutContent(DiagnosticsExporter::Chooser chooser, QWidget *parent)
    : QWidget(parent), m_chooser(std::move(chooser)) {
  setObjectName(QStringLiteral("aboutContent"));
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 6, 0, 0);
  layout->setSpacing(14);
  layout->addWidget(new AppMark(72, this), 0, Qt::AlignHCenter);
  layout->addWidget(makeIdentity());
  m_version = centredText(versionText(), Theme::monospacedFont(11), this);
  m_version->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(m_version);
  // The divider keeps 2 px of air above and below it, beyond the column's spacing.
  m_divider = new QWidget(this);
  m_divider->setFixedHeight(1);
  m_divider->setAutoFillBackground(true);
  layout->addSpacing(2);
  layout->addWidget(m_divider);
  layout->addSpacing(2);
  layout->addWidget(makeButtons(), 0, Qt::AlignHCenter);
  m_status = exportstatusline::make(this);
  m_status->setAlignment(Qt::AlignCenter);
  layout->addWidget(m_status);
  m_contact = centredText(localized::string("about.contact", "反馈：请导出诊断信息并联系开发者"),
                          Theme::font(11), this);
  layout->addWidget(m_contact);
  layout->addStretch(1);
  refreshColors();
}

QWidget *AboutContent::makeIdentity() {
  auto *box = new QWidget(this);
  auto *layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  m_name = centredText(localized::string("Pindle"), Theme::font(22, Theme::Weight::semibold), box);
  m_tagline = centredText(localized::string("app.tagline", "不烧心的相册管理 · AI 选片助手"),
                          Theme::font(12), box);
  layout->addWidget(m_name);
  layout->addWidget(m_tagline);
  return box;
}

QWidget *AboutContent::makeButtons() {
  QHBoxLayout *layout = nullptr;
  QWidget *row = infostyle::makeRow(this, 10, layout);
  m_helpButton = new ThemedButton(localized::string("tab.help", "帮助与隐私"),
                                  ThemedButton::Style::bordered, ThemedButton::Size::regular, row);
  m_helpButton->setSymbol(QStringLiteral("lock.shield"));
  m_helpButton->setAccessibleName(m_helpButton->text());
  connect(m_helpButton, &QPushButton::clicked, this, &AboutContent::showHelp);
  m_exportButton = exportstatusline::makeExportButton(ThemedButton::Size::regular, row);
  connect(m_exportButton, &QPushButton::clicked, this, &AboutContent::exportDiagnostics);
  layout->addWidget(m_helpButton);
  layout->addWidget(m_exportButton);
  return row;
}

QString AboutContent::versionText() {
  return versionText(AppInfo::shortVersion(), AppInfo::buildVersion());
}

QString AboutContent::versionText(const QString &shortVersion, const QString &build) {
  return localized::format("about.version", "版本 %@（build %@）", {shortVersion, build});
}

QString AboutContent::exportStatus() const {
  return m_status->isHidden() ? QString() : m_status->text();
}

void AboutContent::exportDiagnostics() {
  exportstatusline::show(m_status,
                         exportstatusline::statusAfterExport(
                             DiagnosticsExporter::exportToUserPickedFile(window(), m_chooser)));
  emit exportStatusChanged();
}

void AboutContent::refreshColors() {
  const Theme &theme = Theme::of(this);
  infostyle::setTextColor(m_name, theme.primary);
  for (QLabel *label : {m_tagline, m_version, m_contact}) {
    infostyle::setTextColor(label, theme.secondary);
  }
  QPalette line = m_divider->palette();
  line.setColor(QPalette::Window, theme.separator);
  m_divider->setPalette(line);
  m_status->setColor(theme.secondary);
}

void AboutContent::changeEvent(QEvent *event) {
  if (event->type() == QEvent::PaletteChange) {
    refreshColors();
  }
  QWidget::changeEvent(event);
}

} // namespace lumora
