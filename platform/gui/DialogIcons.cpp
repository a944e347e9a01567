#include "platform/gui/DialogIcons.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QHash>
#include <QIconEngine>
#include <QMutex>
#include <QPainter>
#include <algorithm>
#include <map>
#include <memory>

namespace platform::dialogicons {
namespace {

/// Opaque pixels whose channels differ by less than this count as grey.
constexpr int kGreyChroma = 48;
/// The share of opaque pixels that must be grey for the glyph to be monochrome.
constexpr double kGreyShare = 0.9;

bool isMonochrome(const QImage &image) {
  const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  int opaque = 0;
  int grey = 0;
  for (int y = 0; y < argb.height(); ++y) {
    const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
    for (int x = 0; x < argb.width(); ++x) {
      if (qAlpha(line[x]) < 64) {
        continue;
      }
      ++opaque;
      const int high = std::max({qRed(line[x]), qGreen(line[x]), qBlue(line[x])});
      const int low = std::min({qRed(line[x]), qGreen(line[x]), qBlue(line[x])});
      grey += high - low < kGreyChroma ? 1 : 0;
    }
  }
  return opaque > 0 && grey >= kGreyShare * opaque;
}

QPixmap inkedPixmap(const QPixmap &source, const QColor &ink) {
  QImage image = source.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
  if (!isMonochrome(image)) {
    return source;
  }
  QPainter painter(&image);
  painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
  painter.fillRect(image.rect(), ink);
  painter.end();
  QPixmap result = QPixmap::fromImage(image);
  result.setDevicePixelRatio(source.devicePixelRatio());
  return result;
}

/// Draws the wrapped icon, inked, when it is painted (always on the GUI thread).
class InkedEngine : public QIconEngine {
public:
  InkedEngine(QIcon base, QColor ink) : m_base(std::move(base)), m_ink(std::move(ink)) {}

  QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override {
    return scaledPixmap(size, mode, state, 1.0);
  }
  QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                       qreal scale) override {
    QColor ink = m_ink;
    if (mode == QIcon::Disabled) {
      ink.setAlphaF(ink.alphaF() * 0.4f);
    }
    // The normal pixmap, inked: the disabled one the style derives is grey, and would lose
    // its dimming once inked.
    return inkedPixmap(m_base.pixmap(size, scale, QIcon::Normal, state), ink);
  }
  void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override {
    const qreal scale = painter->device()->devicePixelRatioF();
    painter->drawPixmap(rect, scaledPixmap(rect.size(), mode, state, scale));
  }
  QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override {
    return m_base.actualSize(size, mode, state);
  }
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
    return m_base.availableSizes(mode, state);
  }
  QString iconName() override { return m_base.name(); }
  bool isNull() override { return m_base.isNull(); }
  QString key() const override { return QStringLiteral("pindle-inked"); }
  QIconEngine *clone() const override { return new InkedEngine(m_base, m_ink); }

private:
  QIcon m_base;
  QColor m_ink;
};

/// The dialog's file icons, inked. The file system model asks for them on its own thread;
/// wrapping an icon only builds a value.
class InkedIconProvider : public QFileIconProvider {
public:
  explicit InkedIconProvider(QColor ink) : m_ink(std::move(ink)) {}
  QIcon icon(IconType type) const override { return inked(QFileIconProvider::icon(type), m_ink); }
  QIcon icon(const QFileInfo &info) const override {
    return inked(QFileIconProvider::icon(info), m_ink);
  }

private:
  QColor m_ink;
};

/// One provider per ink, for the life of the application: a dialog's model keeps a bare
/// pointer to its provider, and may outlive any object of ours in the dialog.
InkedIconProvider *providerFor(const QColor &ink) {
  static QMutex mutex;
  static std::map<QRgb, std::unique_ptr<InkedIconProvider>> providers;
  const QMutexLocker lock(&mutex);
  std::unique_ptr<InkedIconProvider> &provider = providers[ink.rgba()];
  if (!provider) {
    provider = std::make_unique<InkedIconProvider>(ink);
  }
  return provider.get();
}

void inkDialog(QFileDialog *dialog) {
  const QColor ink = dialog->palette().color(QPalette::WindowText);
  for (QAbstractButton *button : dialog->findChildren<QAbstractButton *>()) {
    // The theme's own icon is kept, so a second inking does not wrap the first.
    if (!button->property("pindlePlainIcon").isValid()) {
      button->setProperty("pindlePlainIcon", QVariant::fromValue(button->icon()));
    }
    button->setIcon(inked(button->property("pindlePlainIcon").value<QIcon>(), ink));
  }
  // The side bar and the list take their icons from the provider; setting it refreshes them.
  dialog->setIconProvider(providerFor(ink));
}

/// Inks the dialog again when its palette changes.
class PaletteWatcher : public QObject {
public:
  explicit PaletteWatcher(QFileDialog *dialog) : QObject(dialog), m_dialog(dialog) {
    dialog->installEventFilter(this);
  }

protected:
  bool eventFilter(QObject *watched, QEvent *event) override {
    if (watched == m_dialog && event->type() == QEvent::PaletteChange) {
      inkDialog(m_dialog);
    }
    return QObject::eventFilter(watched, event);
  }

private:
  QFileDialog *m_dialog;
};

} // namespace

QIcon inked(const QIcon &icon, const QColor &ink) {
  if (icon.isNull()) {
    return icon;
  }
  return QIcon(new InkedEngine(icon, ink));
}

void follow(QFileDialog *dialog) {
  inkDialog(dialog);
  new PaletteWatcher(dialog);
}

} // namespace platform::dialogicons
