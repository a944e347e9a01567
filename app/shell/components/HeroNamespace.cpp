#include "app/shell/components/HeroNamespace.h"

#include "app/shell/components/HeroOverlay.h"

#include <QWidget>
#include <algorithm>

namespace lumora {

HeroNamespace::HeroNamespace(QWidget *host)
    : QObject(host), m_host(host), m_overlay(new HeroOverlay(host)) {}

HeroNamespace::~HeroNamespace() = default;

QString HeroNamespace::identifier(const QString &id) { return QStringLiteral("hero-") + id; }

void HeroNamespace::registerWidget(QWidget *widget, const QString &id, bool isSource) {
  const auto known = std::find_if(m_entries.begin(), m_entries.end(),
                                  [widget](const Entry &e) { return e.widget == widget; });
  const bool ready = known == m_entries.end() || known->ready;
  unregisterWidget(widget);
  m_entries.push_back({widget, identifier(id), isSource, ready});
  connect(widget, &QObject::destroyed, this, [this, widget] { unregisterWidget(widget); });
}

void HeroNamespace::unregisterWidget(QWidget *widget) {
  std::erase_if(m_entries, [widget](const Entry &e) { return e.widget == widget || !e.widget; });
}

void HeroNamespace::setPictureReady(QWidget *widget, bool ready) {
  const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                  [widget](const Entry &e) { return e.widget == widget; });
  if (found == m_entries.end() || found->ready == ready) {
    return;
  }
  found->ready = ready;
  if (ready) {
    m_overlay->refreshDestination(widget);
  }
}

QList<QWidget *> HeroNamespace::widgets(const QString &id) const {
  QList<QWidget *> result;
  for (const bool sources : {true, false}) {
    for (const Entry &e : m_entries) {
      if (e.widget && e.isSource == sources && e.identifier == identifier(id)) {
        result.append(e.widget);
      }
    }
  }
  return result;
}

QRect HeroNamespace::rectInHost(const QWidget *widget) const {
  return QRect(widget->mapTo(m_host.data(), QPoint(0, 0)), widget->size());
}

void HeroNamespace::beginTransition() {
  m_snapshots.clear();
  if (!m_host) {
    return;
  }
  // Photographing may lay a screen out, which registers widgets: walk a copy.
  const std::vector<Entry> entries = m_entries;
  for (const Entry &e : entries) {
    if (e.widget && e.widget->isVisible() && e.widget->window() == m_host->window()) {
      m_snapshots.push_back({e.identifier, e.widget, rectInHost(e.widget), e.widget->grab()});
    }
  }
}

std::optional<HeroNamespace::Entry> HeroNamespace::incomingFor(const Snapshot &snapshot) const {
  for (const Entry &e : m_entries) {
    const bool wasPhotographed =
        std::any_of(m_snapshots.begin(), m_snapshots.end(),
                    [&e](const Snapshot &s) { return s.widget == e.widget; });
    if (e.widget && e.identifier == snapshot.identifier && !wasPhotographed &&
        e.widget->isVisible()) {
      return e;
    }
  }
  return std::nullopt;
}

int HeroNamespace::finishTransition() {
  int flights = 0;
  if (m_host) {
    const std::vector<Snapshot> snapshots = m_snapshots;
    for (const Snapshot &s : snapshots) {
      const std::optional<Entry> incoming = incomingFor(s);
      if (!incoming || !incoming->widget) {
        continue;
      }
      m_overlay->fly({s.pixmap, s.rect, incoming->ready ? incoming->widget->grab() : QPixmap(),
                      rectInHost(incoming->widget), incoming->widget});
      ++flights;
    }
  }
  m_snapshots.clear();
  return flights;
}

} // namespace lumora
