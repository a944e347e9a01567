#include "platform/gui/Symbols.h"

#include <QDir>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <algorithm>
#include <cmath>

namespace platform::symbols {
namespace {

// How the glyph is framed: on its own, inside a ring, or knocked out of a filled shape.
enum class Frame { none, circle, circleFill, seal, sealFill, warningFill, photoStack, xmark };

struct Mapping {
  const char *themeName;
  Frame frame;
};

const QHash<QString, Mapping> &table() {
  static const QHash<QString, Mapping> map = {
      {QStringLiteral("star"), {"rating-unrated", Frame::none}},
      {QStringLiteral("star.fill"), {"rating", Frame::none}},
      {QStringLiteral("checkmark"), {"object-select-symbolic", Frame::none}},
      {QStringLiteral("checkmark.circle"), {"object-select-symbolic", Frame::circle}},
      {QStringLiteral("checkmark.circle.fill"), {"object-select-symbolic", Frame::circleFill}},
      {QStringLiteral("checkmark.seal"), {"object-select-symbolic", Frame::seal}},
      {QStringLiteral("checkmark.seal.fill"), {"object-select-symbolic", Frame::sealFill}},
      {QStringLiteral("chevron.left"), {"go-previous", Frame::none}},
      {QStringLiteral("chevron.right"), {"go-next", Frame::none}},
      {QStringLiteral("crown.fill"), {"games-highscores", Frame::none}},
      {QStringLiteral("folder"), {"folder", Frame::none}},
      {QStringLiteral("folder.badge.plus"), {"folder-new", Frame::none}},
      {QStringLiteral("internaldrive.fill"), {"drive-harddisk", Frame::none}},
      {QStringLiteral("keyboard"), {"input-keyboard", Frame::none}},
      {QStringLiteral("lock.fill"), {"object-locked", Frame::none}},
      {QStringLiteral("lock.shield"), {"document-encrypted", Frame::none}},
      {QStringLiteral("lock.shield.fill"), {"document-encrypted", Frame::circleFill}},
      {QStringLiteral("pause.circle"), {"media-playback-pause", Frame::circle}},
      {QStringLiteral("pause.circle.fill"), {"media-playback-pause", Frame::circleFill}},
      {QStringLiteral("play.circle.fill"), {"media-playback-start", Frame::circleFill}},
      {QStringLiteral("photo"), {"photo", Frame::none}},
      {QStringLiteral("photo.badge.exclamationmark"), {"image-missing", Frame::none}},
      {QStringLiteral("photo.on.rectangle"), {"view-preview", Frame::none}},
      {QStringLiteral("photo.on.rectangle.angled"), {"viewimage", Frame::none}},
      {QStringLiteral("photo.stack"), {"", Frame::photoStack}},
      {QStringLiteral("photoslibrary"), {"folder-image-people", Frame::none}},
      {QStringLiteral("slider.horizontal.3"), {"configure", Frame::none}},
      {QStringLiteral("sparkles"), {"tools-wizard", Frame::none}},
      {QStringLiteral("square.and.arrow.up"), {"document-share", Frame::none}},
      {QStringLiteral("square.stack.3d.up"), {"object-group", Frame::none}},
      {QStringLiteral("stethoscope"), {"tools-report-bug", Frame::none}},
      {QStringLiteral("timer"), {"chronometer", Frame::none}},
      {QStringLiteral("trash"), {"edit-delete", Frame::none}},
      {QStringLiteral("trash.fill"), {"albumfolder-user-trash", Frame::none}},
      {QStringLiteral("trash.circle.fill"), {"edit-delete", Frame::circleFill}},
      {QStringLiteral("xmark"), {"", Frame::xmark}},
      {QStringLiteral("arrow.clockwise"), {"view-refresh", Frame::none}},
      {QStringLiteral("exclamationmark.triangle.fill"),
       {"dialog-warning-symbolic", Frame::warningFill}},
  };
  return map;
}

// The theme icon recoloured to `tint`: Breeze's monochrome glyphs keep their shape.
QImage tintedGlyph(const QString &themeName, int px, const QColor &tint) {
  QImage image(px, px, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  // A theme icon paints no larger than its biggest fixed size, which left large symbols (the
  // phase screens' 34 and 44 px badges) as a small glyph in an empty square: draw the
  // smallest size at least `px` (else the largest there is) scaled to fill the square.
  const QIcon icon = QIcon::fromTheme(themeName);
  QSize source;
  for (const QSize &size : icon.availableSizes()) {
    const bool covers = size.width() >= px;
    if (!source.isValid() || (covers && (source.width() < px || size.width() < source.width())) ||
        (!covers && source.width() < px && size.width() > source.width())) {
      source = size;
    }
  }
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.drawPixmap(QRect(0, 0, px, px), icon.pixmap(source.isValid() ? source : QSize(px, px)));
  p.setCompositionMode(QPainter::CompositionMode_SourceIn);
  p.fillRect(image.rect(), tint);
  return image;
}

QPainterPath framePath(Frame frame, const QRectF &r) {
  QPainterPath path;
  if (frame == Frame::circle || frame == Frame::circleFill) {
    path.addEllipse(r);
    return path;
  }
  // A seal: a circle with twelve soft scallops.
  const QPointF c = r.center();
  const int points = 24;
  for (int i = 0; i <= points; ++i) {
    const qreal angle = 2 * M_PI * i / points;
    const qreal radius = r.width() / 2 * (i % 2 == 0 ? 1.0 : 0.88);
    const QPointF pt(c.x() + radius * std::cos(angle), c.y() + radius * std::sin(angle));
    i == 0 ? path.moveTo(pt) : path.lineTo(pt);
  }
  path.closeSubpath();
  return path;
}

// A filled warning triangle with the exclamation mark knocked out (Breeze has no such glyph).
void drawWarningTriangle(QPainter &p, int px, const QColor &tint) {
  const qreal s = px;
  QPainterPath triangle;
  triangle.moveTo(s / 2, s * 0.06);
  triangle.lineTo(s * 0.97, s * 0.92);
  triangle.lineTo(s * 0.03, s * 0.92);
  triangle.closeSubpath();
  p.setPen(QPen(tint, s * 0.08, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(tint);
  p.drawPath(triangle);
  p.setCompositionMode(QPainter::CompositionMode_DestinationOut);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  const qreal w = s * 0.12;
  p.drawRoundedRect(QRectF(s / 2 - w / 2, s * 0.34, w, s * 0.30), w / 2, w / 2);
  p.drawEllipse(QPointF(s / 2, s * 0.76), w * 0.6, w * 0.6);
}

// A photo (a landscape with a sun in a rounded frame) on two more behind it, their top
// edges showing above it (Breeze has only folders of pictures).
void drawPhotoStack(QPainter &p, int px, const QColor &tint) {
  const qreal s = px;
  const qreal line = std::max(1.0, s * 0.055);
  p.setPen(QPen(tint, line, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawLine(QPointF(s * 0.24, s * 0.12), QPointF(s * 0.76, s * 0.12));
  p.drawLine(QPointF(s * 0.15, s * 0.23), QPointF(s * 0.85, s * 0.23));
  const QRectF photo(s * 0.06, s * 0.34, s * 0.88, s * 0.58);
  p.drawRoundedRect(photo, s * 0.09, s * 0.09);
  p.setPen(Qt::NoPen);
  p.setBrush(tint);
  p.drawEllipse(QPointF(s * 0.70, s * 0.50), s * 0.065, s * 0.065);
  QPainterPath hills;
  hills.moveTo(s * 0.13, s * 0.85);
  hills.lineTo(s * 0.38, s * 0.56);
  hills.lineTo(s * 0.56, s * 0.74);
  hills.lineTo(s * 0.66, s * 0.65);
  hills.lineTo(s * 0.87, s * 0.85);
  hills.closeSubpath();
  p.drawPath(hills);
}

// A plain cross of two semibold strokes: the theme's "dialog-close" is a filled disc.
void drawCross(QPainter &p, int px, const QColor &tint) {
  const qreal s = px;
  p.setPen(QPen(tint, std::max(1.0, s * 0.13), Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(s * 0.2, s * 0.2), QPointF(s * 0.8, s * 0.8));
  p.drawLine(QPointF(s * 0.8, s * 0.2), QPointF(s * 0.2, s * 0.8));
}

void drawFramed(QPainter &p, const Mapping &m, int px, const QColor &tint) {
  if (m.frame == Frame::warningFill) {
    drawWarningTriangle(p, px, tint);
    return;
  }
  const bool filled = m.frame == Frame::circleFill || m.frame == Frame::sealFill;
  const QRectF outer = QRectF(0, 0, px, px).adjusted(0.75, 0.75, -0.75, -0.75);
  const QPainterPath shape = framePath(m.frame, outer);
  const int glyphPx = qMax(1, qRound(px * 0.58));
  const QPoint glyphAt((px - glyphPx) / 2, (px - glyphPx) / 2);
  if (filled) {
    p.fillPath(shape, tint);
    p.setCompositionMode(QPainter::CompositionMode_DestinationOut);
    p.drawImage(glyphAt, tintedGlyph(QString::fromLatin1(m.themeName), glyphPx, Qt::black));
    return;
  }
  p.setPen(QPen(tint, qMax(1.0, px / 14.0)));
  p.drawPath(shape);
  p.drawImage(glyphAt, tintedGlyph(QString::fromLatin1(m.themeName), glyphPx, tint));
}

void drawFallback(QPainter &p, int px, const QColor &tint) {
  const QRectF box = QRectF(0, 0, px, px).adjusted(1, 1, -1, -1);
  p.setPen(QPen(tint, 1, Qt::DashLine));
  p.drawRoundedRect(box, px / 6.0, px / 6.0);
  QFont font = p.font();
  font.setPixelSize(qMax(6, px * 2 / 3));
  font.setBold(true);
  p.setFont(font);
  p.setPen(tint);
  p.drawText(box, Qt::AlignCenter, QStringLiteral("?"));
}

QImage render(const QString &symbol, int px, const QColor &tint) {
  QImage image(px, px, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const auto it = table().constFind(symbol);
  if (it != table().constEnd() && it->frame == Frame::photoStack) {
    drawPhotoStack(p, px, tint);
  } else if (it != table().constEnd() && it->frame == Frame::xmark) {
    drawCross(p, px, tint);
  } else if (it == table().constEnd() || !QIcon::hasThemeIcon(QString::fromLatin1(it->themeName))) {
    drawFallback(p, px, tint);
  } else if (it->frame == Frame::none) {
    p.drawImage(0, 0, tintedGlyph(QString::fromLatin1(it->themeName), px, tint));
  } else {
    drawFramed(p, *it, px, tint);
  }
  return image;
}

} // namespace

void installIconTheme() {
  static bool done = false;
  if (done) {
    return;
  }
  done = true;
  QStringList paths = QIcon::themeSearchPaths();
  for (const QString &dir :
       {QStringLiteral("/usr/share/icons"), QStringLiteral("/usr/local/share/icons"),
        QDir::homePath() + QStringLiteral("/.local/share/icons")}) {
    if (!paths.contains(dir)) {
      paths.append(dir);
    }
  }
  QIcon::setThemeSearchPaths(paths);
  QIcon::setThemeName(QStringLiteral("breeze"));
  QIcon::setFallbackThemeName(QStringLiteral("hicolor"));
}

QString themeIconName(const QString &symbol) {
  const auto it = table().constFind(symbol);
  return it == table().constEnd() ? QString() : QString::fromLatin1(it->themeName);
}

bool isKnown(const QString &symbol) { return table().contains(symbol); }

QPixmap pixmap(const QString &symbol, int pixelSize, const QColor &tint, qreal devicePixelRatio) {
  installIconTheme();
  static QHash<QString, QPixmap> cache;
  const QString key = QStringLiteral("%1|%2|%3|%4")
                          .arg(symbol)
                          .arg(pixelSize)
                          .arg(tint.rgba(), 0, 16)
                          .arg(devicePixelRatio);
  if (const auto it = cache.constFind(key); it != cache.constEnd()) {
    return *it;
  }
  const int px = qMax(1, qRound(pixelSize * devicePixelRatio));
  QPixmap result = QPixmap::fromImage(render(symbol, px, tint));
  result.setDevicePixelRatio(devicePixelRatio);
  cache.insert(key, result);
  return result;
}

QIcon icon(const QString &symbol, const QColor &tint) {
  QIcon result;
  for (const int size : {16, 22, 32}) {
    result.addPixmap(pixmap(symbol, size, tint));
  }
  return result;
}

QStringList knownSymbols() {
  QStringList names = table().keys();
  names.sort();
  return names;
}

} // namespace platform::symbols
