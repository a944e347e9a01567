#include "app/info/HelpContent.h"

#include "app/info/help/CacheSection.h"
#include "app/info/help/DiagnosticsSection.h"
#include "app/info/help/ExplanatorySection.h"
#include "app/info/help/ShortcutsSection.h"
#include "app/store/texts/Localized.h"

#include <QVBoxLayout>

namespace lumora {

HelpContent::HelpContent(AppStore &store, DiagnosticsExporter::Chooser chooser, QWidget *parent)
    : QWidget(parent), m_shortcuts(new ShortcutsSection(shortcuts(), this)) {
  setObjectName(QStringLiteral("helpContent"));
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(18);
  layout->addWidget(m_shortcuts);
  addExplanations();
  m_cache = new CacheSection(store, this);
  layout->addWidget(m_cache);
  m_diagnostics = new DiagnosticsSection(std::move(chooser), this);
  layout->addWidget(m_diagnostics);
  layout->addStretch(1);
}

const std::vector<ShortcutRow> &HelpContent::shortcuts() { return shortcuttable::rows(); }

void HelpContent::addExplanations() {
  // The privacy note keeps only its first paragraph: the second is about downloading
  // originals from a cloud photo library, which this system never does.
  m_explanations = {
      new ExplanatorySection(
          QStringLiteral("lock.shield.fill"), &Theme::green,
          localized::string("help.privacy.title", "照片不会离开这台 Mac"),
          {localized::string("help.privacy.p1", "所有分组与打分都由 Apple Vision "
                                                "在本机完成，不上传、不联网、不需要账号。")},
          this),
      new ExplanatorySection(
          QStringLiteral("trash.fill"), &Theme::blue,
          localized::string("help.delete.title", "删除去哪了"),
          {localized::string("help.delete.p1", "文件夹来源：移入废纸篓，可在 Finder "
                                               "里「放回原处」，清理后 6 秒内也可以点「撤销」。"),
           localized::string("help.delete.p2",
                             "「照片」App 图库来源：移入「照片」App 的「最近删除」，30 "
                             "天内可在那里恢复。本 App 不会永久删除任何照片。")},
          this),
      new ExplanatorySection(
          QStringLiteral("sparkles"), &Theme::orange,
          localized::string("help.score.title", "分数是怎么来的"),
          {localized::string("help.score.p1",
                             "每张照片的分数来自 Apple Vision 的「美学」综合分（-1…1），线性映射到 "
                             "0–10，并综合了清晰度与内容倾向。"),
           localized::string("help.score.p2",
                             "同一次拍摄的几张照片分数往往只差 0.1–0.3，不代表质量有明显差别；组内"
                             "「最佳」只是相对排序的结果。")},
          this),
  };
  for (ExplanatorySection *section : m_explanations) {
    layout()->addWidget(section);
  }
}

QList<QWidget *> HelpContent::sections() const {
  QList<QWidget *> list{m_shortcuts};
  for (ExplanatorySection *section : m_explanations) {
    list << section;
  }
  return list << m_cache << m_diagnostics;
}

} // namespace lumora
