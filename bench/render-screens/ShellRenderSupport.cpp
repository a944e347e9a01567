#include "ShellRenderSupport.h"

#include "app/shell/root/ContentView.h"
#include "app/shell/theme/Theme.h"
#include "app/shell/window/AppMenus.h"
#include "app/shell/window/AppearanceController.h"
#include "app/shell/window/MainWindow.h"
#include "app/store/AppStore.h"
#include "app/store/services/LumoraEngineClient.h"
#include "engine/core/LumoraEngine.h"
#include "platform/gui/Symbols.h"
#include "platform/gui/SystemColorScheme.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QTemporaryDir>

namespace renderscreens::shellrender {
namespace {

lumora::ColorScheme toScheme(Scheme scheme) {
  return scheme == Scheme::dark ? lumora::ColorScheme::dark : lumora::ColorScheme::light;
}

QStringList photoFiles(const RenderContext &ctx) {
  static QStringList files;
  if (files.isEmpty()) {
    QDir dir(ctx.photosDir);
    files =
        dir.entryList({QStringLiteral("*.jpg"), QStringLiteral("*.jpeg"), QStringLiteral("*.png")},
                      QDir::Files, QDir::Name);
    for (QString &file : files) {
      file = dir.filePath(file);
    }
  }
  return files;
}

// The window composed with one open menu at the place it pops up.
QImage withMenu(QMainWindow &window, QMenu *menu, QAction *title) {
  window.menuBar()->setActiveAction(title);
  QCoreApplication::processEvents();
  menu->adjustSize();
  const QPoint at = window.menuBar()->actionGeometry(title).bottomLeft() +
                    window.menuBar()->mapTo(&window, QPoint(0, 0));
  QImage image = window.grab().toImage();
  QPainter p(&image);
  p.drawPixmap(at, menu->grab());
  p.end();
  menu->hide();
  return image;
}

} // namespace

QString name(const QString &base, Scheme scheme) {
  return base + (scheme == Scheme::dark ? QStringLiteral("-dark") : QStringLiteral("-light"));
}

void prepare(QWidget &root, Scheme scheme) {
  lumora::Theme::setScheme(&root, toScheme(scheme));
  root.setAttribute(Qt::WA_DontShowOnScreen);
  root.show();
  root.adjustSize();
  QCoreApplication::processEvents();
}

void spinUntil(const std::function<bool()> &done) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < 1000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
}

QPixmap photo(RenderContext &ctx, int index, QSize size) {
  const QStringList files = photoFiles(ctx);
  QImage image;
  if (!files.isEmpty()) {
    QImageReader reader(files.at(index % files.size()));
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    if (full.isValid()) {
      reader.setScaledSize(full.scaled(size, Qt::KeepAspectRatioByExpanding));
    }
    image = reader.read();
  }
  if (image.isNull()) {
    image = QImage(size, QImage::Format_RGB32);
    image.fill(QColor(0x80, 0x80, 0x88));
  }
  const QImage filled =
      image.scaled(size, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
  return QPixmap::fromImage(filled.copy(QRect(
      QPoint((filled.width() - size.width()) / 2, (filled.height() - size.height()) / 2), size)));
}

PhotoTile::PhotoTile(QPixmap pixmap, qreal radius, QWidget *parent)
    : QWidget(parent), m_pixmap(std::move(pixmap)), m_radius(radius) {}

void PhotoTile::paintEvent(QPaintEvent *) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath clip;
  clip.addRoundedRect(QRectF(rect()), m_radius, m_radius);
  p.setClipPath(clip);
  p.drawPixmap(rect(), m_pixmap);
}

QWidget *photoScreen(RenderContext &ctx, QWidget *parent) {
  auto *screen = new QWidget(parent);
  auto *grid = new QGridLayout(screen);
  grid->setContentsMargins(24, 24, 24, 24);
  grid->setSpacing(18);
  for (int i = 0; i < 12; ++i) {
    auto *tile = new PhotoTile(photo(ctx, i * 7, QSize(255, 170)), 16, screen);
    tile->setFixedSize(255, 170);
    tile->setObjectName(QStringLiteral("tile%1").arg(i));
    grid->addWidget(tile, i / 4, i % 4);
  }
  return screen;
}

QRect firstTileRect(QWidget *screen) {
  const QWidget *tile = screen->findChild<QWidget *>(QStringLiteral("tile0"));
  return QRect(tile->mapTo(screen->parentWidget(), QPoint(0, 0)), tile->size());
}

void fillSymbolGrid(QWidget &sheet, Scheme scheme) {
  lumora::Theme::setScheme(&sheet, toScheme(scheme));
  auto *grid = new QGridLayout(&sheet);
  grid->setContentsMargins(16, 16, 16, 16);
  grid->setHorizontalSpacing(18);
  grid->setVerticalSpacing(6);
  QStringList names = platform::symbols::knownSymbols();
  names.append(QStringLiteral("no.such.symbol"));
  const lumora::Theme &theme = lumora::Theme::of(&sheet);
  for (int i = 0; i < names.size(); ++i) {
    auto *icon = new QLabel(&sheet);
    icon->setPixmap(platform::symbols::pixmap(names[i], 22, theme.primary));
    auto *label = new QLabel(names[i], &sheet);
    label->setFont(lumora::Theme::font(11));
    grid->addWidget(icon, i / 3, (i % 3) * 2);
    grid->addWidget(label, i / 3, (i % 3) * 2 + 1);
  }
}

void renderWindows(RenderContext &ctx, Scheme scheme) {
  QTemporaryDir temp;
  QApplication::setFont(lumora::Theme::font(13));
  lumora::AppStore::Services services;
  services.engine = std::make_shared<lumora::LumoraEngineClient>(
      std::make_shared<lumora::LumoraEngine>(temp.filePath(QStringLiteral("cache.bin"))));
  lumora::AppStore store(std::move(services));
  platform::SystemColorScheme system;
  lumora::AppearanceController appearance(system, temp.path());
  lumora::MainWindow window;
  window.setAttribute(Qt::WA_DontShowOnScreen);
  window.setContent(new lumora::ContentView(store, lumora::ScreenFactory{}));
  appearance.setContentRoot(window.content());
  auto *menus = new lumora::AppMenus(window, store, appearance);
  window.show();
  appearance.chooseMode(scheme == Scheme::dark ? lumora::AppearanceMode::dark
                                               : lumora::AppearanceMode::light);
  for (const QSize size : {QSize(1150, 780), QSize(900, 600)}) {
    window.resize(size);
    QCoreApplication::processEvents();
    ctx.save(
        name(QStringLiteral("shell-window-%1x%2").arg(size.width()).arg(size.height()), scheme),
        window);
  }
  const std::pair<const char *, QMenu *> open[] = {{"file", menus->fileMenu()},
                                                   {"appearance", menus->appearanceMenu()},
                                                   {"help", menus->helpMenu()}};
  for (const auto &[label, menu] : open) {
    ctx.save(name(QStringLiteral("shell-menu-%1").arg(QLatin1String(label)), scheme),
             withMenu(window, menu, menu->menuAction()));
  }
}

} // namespace renderscreens::shellrender
