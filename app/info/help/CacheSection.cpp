#include "app/info/help/CacheSection.h"

#include "app/info/help/ClearCacheButton.h"
#include "app/info/shared/InfoStyle.h"
#include "app/shell/components/WindowCentring.h"
#include "app/store/AppStore.h"
#include "app/store/texts/Localized.h"
#include "platform/core/AppDirectories.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumora {

namespace {

constexpr int kSmallTextPixels = 11;

/// `path` with the home folder written "~" and a closing slash, as a folder is shown.
QString shownFolder(const QString &path) {
  QString shown = QDir::cleanPath(path);
  const QString home = QDir::cleanPath(QDir::homePath());
  if (shown == home || shown.startsWith(home + QLatin1Char('/'))) {
    shown.replace(0, home.size(), QStringLiteral("~"));
  }
  return shown + QLatin1Char('/');
}

} // namespace

CacheSection::CacheSection(AppStore &store, QWidget *parent)
    : InfoSection(QStringLiteral("internaldrive.fill"), 15, &Theme::purple,
                  localized::string("help.cache.title", "数据存在哪 / 怎么清"), 8, parent),
      m_store(store) {
  setObjectName(QStringLiteral("cacheSection"));
  addParagraph(paragraphText(), true);
  column()->addWidget(makeButtonRow());
  column()->addWidget(makeClearedRow());
  refreshColors();
}

QString CacheSection::paragraphText() {
  return localized::format("help.cache.p1",
                           "分析缓存：~/Library/Application Support/Lumora/（约 3 KB/张，5 "
                           "万张约 164 MB），只存特征向量与分数，不存照片。",
                           {shownFolder(platform::appSupportDirectory())});
}

QWidget *CacheSection::makeButtonRow() {
  QHBoxLayout *layout = nullptr;
  QWidget *row = infostyle::makeRow(this, 10, layout);
  m_clearButton = new ClearCacheButton(row);
  connect(m_clearButton, &QPushButton::clicked, this, &CacheSection::askToClear);
  m_clearedBadge = makeClearedBadge(row);
  m_clearedBadge->hide();
  layout->addWidget(m_clearButton);
  layout->addWidget(m_clearedBadge);
  layout->addStretch(1);
  return row;
}

QWidget *CacheSection::makeClearedRow() {
  QHBoxLayout *layout = nullptr;
  m_clearedRow = infostyle::makeRow(this, 8, layout);
  m_clearedHint = new QLabel(
      localized::string("help.cache.clearedHint", "下次扫描会重新分析全部照片，会慢一些。"),
      m_clearedRow);
  m_clearedHint->setFont(Theme::font(kSmallTextPixels));
  m_rescanButton =
      new ThemedButton(localized::string("help.cache.rescan", "立即重新扫描"),
                       ThemedButton::Style::link, ThemedButton::Size::small, m_clearedRow);
  m_rescanButton->setAccessibleName(m_rescanButton->text());
  connect(m_rescanButton, &QPushButton::clicked, this, &CacheSection::rescan);
  layout->addWidget(m_clearedHint);
  layout->addWidget(m_rescanButton);
  layout->addStretch(1);
  m_clearedRow->hide();
  return m_clearedRow;
}

void CacheSection::askToClear() {
  if (m_confirmation) {
    return;
  }
  m_confirmation = makeConfirmation();
  m_confirmation->open();
  emit stateChanged();
}

QMessageBox *CacheSection::makeConfirmation() {
  auto *box = new QMessageBox(this);
  box->setAttribute(Qt::WA_DeleteOnClose);
  // A window of its own: it takes the sheet's scheme explicitly.
  Theme::setScheme(box, Theme::schemeOf(this));
  box->setIcon(QMessageBox::Warning);
  WindowCentring::attach(box);
  box->setFont(Theme::font(13));
  box->setStyleSheet(QStringLiteral("QLabel#qt_msgbox_label { font-weight: bold; }"
                                    "QLabel#qt_msgbox_informativelabel { min-width: 300px; }"));
  box->setWindowTitle(localized::string("help.cache.confirmTitle", "清除分析缓存？"));
  box->setText(box->windowTitle());
  box->setInformativeText(localized::string(
      "help.cache.confirmMessage", "只会删除特征向量与分数的缓存，不会动照片本身。下次扫描需要重新"
                                   "分析全部照片，会慢一些。"));
  QPushButton *clear = box->addButton(localized::string("help.cache.confirmButton", "清除"),
                                      QMessageBox::DestructiveRole);
  QPushButton *cancel =
      box->addButton(localized::string("common.cancel", "取消"), QMessageBox::RejectRole);
  box->setDefaultButton(cancel);
  box->setEscapeButton(cancel);
  connect(clear, &QPushButton::clicked, this, &CacheSection::clearCache);
  return box;
}

void CacheSection::clearCache() {
  m_isClearing = true;
  m_clearButton->setClearing(true);
  emit stateChanged();
  m_store.clearAnalysisCache(this, [this] { clearingFinished(); });
}

void CacheSection::clearingFinished() {
  m_isClearing = false;
  m_didClear = true;
  m_clearButton->setClearing(false);
  m_clearedBadge->show();
  m_clearedRow->show();
  emit stateChanged();
}

void CacheSection::rescan() {
  AppStore &store = m_store;
  // The sheet closes first; this section may be gone once the scan starts.
  store.setShowsInfoCenter(false);
  store.retry();
}

void CacheSection::refreshColors() {
  InfoSection::refreshColors();
  if (m_clearedHint != nullptr) {
    infostyle::setTextColor(m_clearedHint, Theme::of(this).secondary);
  }
}

} // namespace lumora
