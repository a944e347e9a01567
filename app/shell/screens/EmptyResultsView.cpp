#include "app/shell/screens/EmptyResultsView.h"

#include "app/shell/screens/StatusBadge.h"
#include "app/shell/theme/Theme.h"
#include "app/shell/theme/ThemedButton.h"
#include "app/store/AppStore.h"
#include "app/store/texts/Localized.h"
#include "app/store/texts/Texts.h"
#include "platform/core/photolibrary/PhotoLibrary.h"

#include <QDesktopServices>
#include <QFile>

namespace lumora {
namespace {

constexpr int kMessageWidth = 480;
constexpr qreal kBadgeOpacity = 0.1;

enum Variant { library, folder, folderSet };

} // namespace

const char EmptyResultsView::kFolderMessage[] =
    "支持 JPEG / HEIC / PNG / TIFF / GIF / BMP / WebP 格式的照片。\n"
    "如果照片在子文件夹里，选择更上一层的文件夹再试一次。";

EmptyResultsView::EmptyResultsView(AppStore &store, UrlOpener openUrl, QWidget *parent)
    : StatusScreen(kMessageWidth, parent), m_store(store), m_openUrl(std::move(openUrl)) {
  setObjectName(QStringLiteral("EmptyResultsView"));
  if (!m_openUrl) {
    m_openUrl = [](const QUrl &url) { return QDesktopServices::openUrl(url); };
  }
  connect(&m_store, &AppStore::sourceKindChanged, this, &EmptyResultsView::refresh);
  connect(&m_store, &AppStore::folderURLChanged, this, &EmptyResultsView::refresh);
  connect(&m_store, &AppStore::lastResultChanged, this, &EmptyResultsView::refresh);
  refresh();
}

void EmptyResultsView::refresh() {
  const Theme &theme = Theme::of(this);
  QColor fill = theme.secondary;
  fill.setAlphaF(fill.alphaF() * kBadgeOpacity);
  badge()->setContent(QStringLiteral("photo.on.rectangle.angled"), fill, theme.secondary);
  QString message;
  if (m_store.sourceKind() == AppStore::SourceKind::library) {
    setTitle(localized::string("「照片」图库中没有可分析的照片"));
    message = localized::string(
        "图库里没有找到可以分析的照片。请确认「照片」App 已经同步照片，或者改用文件夹整理。");
  } else {
    setTitle(localized::string("这个文件夹里没有可分析的照片"));
    message = QString::fromUtf8(kFolderMessage);
  }
  // Photos were there but left out for their size: said, so that the user does not look for
  // a wrong format or folder.
  if (const QString note = texts::tooLargeNote(m_store.lastResult()); !note.isEmpty()) {
    message += QLatin1Char('\n') + note;
  }
  setMessage(message);
  rebuildButtons();
}

void EmptyResultsView::rebuildButtons() {
  const Variant variant = m_store.sourceKind() == AppStore::SourceKind::library ? library
                          : m_store.folderURL()                                 ? folderSet
                                                                                : folder;
  if (variant == m_buttonsFor) {
    return;
  }
  m_buttonsFor = variant;
  clearButtons();
  if (variant == library) {
    connect(addButton(localized::string("重新扫描图库")), &QPushButton::clicked, &m_store,
            &AppStore::retry);
    connect(addButton(localized::string("改用文件夹…")), &QPushButton::clicked, &m_store,
            &AppStore::chooseFolder);
    connect(addButton(localized::string("打开「照片」App")), &QPushButton::clicked, this,
            &EmptyResultsView::openLibraryFolder);
    return;
  }
  connect(addButton(localized::string("选择其它文件夹…")), &QPushButton::clicked, &m_store,
          &AppStore::chooseFolder);
  if (variant == folderSet) {
    connect(addButton(localized::string("重新扫描")), &QPushButton::clicked, &m_store,
            &AppStore::retry);
  }
}

void EmptyResultsView::openLibraryFolder() {
  // Our stand-in for the photo library is a folder; the file manager shows what it holds.
  const std::filesystem::path location = platform::PhotoLibrary::defaultLocation();
  static_cast<void>(m_openUrl(QUrl::fromLocalFile(QFile::decodeName(location.c_str()))));
}

} // namespace lumora
