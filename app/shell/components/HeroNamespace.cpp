#include "app/shell/components/HeroNamespace.h"

#include "app/shell/components/HeroView.h"

#include <QPainter>
#include <QWidget>
#include <algorithm>

namespace lumora {

HeroNamespace::HeroNamespace(QWidget *host)
    : QObject(host), m_host(host), m_overlay(new HeroOverlay(host)) {}

HeroNamespace::~HeroNamespace() = default;

QString HeroNamespace::identifier(const QString &id) { return QStringLiteral("hero-") + id; }

void HeroNamespace::registerView(HeroView *view, const QString &id, bool isSource) {
  QWidget *widget = view->heroWidget();
  unregisterWidget(widget);
  m_entries.push_back({view, widget, identifier(id), isSource});
  connect(widget, &QObject::destroyed, this, [this, widget] { unregisterWidget(widget); });
}

void HeroNamespace::unregisterWidget(QWidget *widget) {
  std::erase_if(m_entries, [widget](const Entry &e) { return e.widget == widget || !e.widget; });
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

// The view's own drawing over its photo; the view is then left painting `after`.
QPixmap HeroNamespace::overPhoto(HeroView *view, HeroView::Layer after) {
  QWidget *widget = view->heroWidget();
  const qreal ratio = widget->devicePixelRatioF();
  QPixmap pixmap(widget->size() * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::transparent);
  view->setHeroLayer(HeroView::Layer::overPhoto);
  widget->render(&pixmap, QPoint(), QRegion(), QWidget::DrawChildren);
  view->setHeroLayer(after);
  return pixmap;
}

HeroOverlay::Side HeroNamespace::sideOf(HeroView *view, HeroView::Layer after) const {
  const QWidget *widget = view->heroWidget();
  return {HeroOverlay::frameIn(m_host, widget), HeroOverlay::visibleIn(m_host, widget),
          view->heroCorners(), overPhoto(view, after)};
}

void HeroNamespace::beginTransition(const QString &id) {
  // A transition in the middle of another ends the earlier flights where they are going.
  m_overlay->land();
  if (!m_host) {
    return;
  }
  // Photographing may lay a screen out, which registers views: walk a copy.
  const std::vector<Entry> entries = m_entries;
  for (const Entry &e : entries) {
    if (!e.widget || e.identifier != identifier(id) || !e.widget->isVisible() ||
        e.widget->window() != m_host->window()) {
      continue;
    }
    const QImage photo = e.view->heroPhoto();
    // The leaving screen keeps its photo: its picture fades out from under the flight
    // never with an empty box. Its badges go with the flying photo, so they show once.
    HeroOverlay::Side from = sideOf(e.view, HeroView::Layer::photo);
    if (photo.isNull() || from.visible.isEmpty()) {
      e.view->setHeroLayer(HeroView::Layer::whole);
      continue;
    }
    m_overlay->hold({e.identifier, photo, std::move(from), std::nullopt, e.view, e.widget, nullptr,
                     nullptr, QPixmap()});
  }
}

std::optional<HeroNamespace::Entry>
HeroNamespace::incomingFor(const HeroOverlay::Flight &flight) const {
  for (const Entry &e : m_entries) {
    if (e.widget && e.identifier == flight.identifier && e.widget != flight.sourceWidget &&
        e.widget->isVisible() && e.widget->window() == m_host->window()) {
      return e;
    }
  }
  return std::nullopt;
}

int HeroNamespace::finishTransition() {
  int flights = 0;
  if (!m_host) {
    return flights;
  }
  for (HeroOverlay::Flight &f : m_overlay->flights()) {
    const std::optional<Entry> incoming = f.to ? std::nullopt : incomingFor(f);
    if (!incoming) {
      continue;
    }
    incoming->view->heroLanding();
    HeroOverlay::Side to = sideOf(incoming->view, HeroView::Layer::ground);
    if (to.visible.isEmpty()) {
      incoming->view->setHeroLayer(HeroView::Layer::whole);
      continue;
    }
    f.to = std::move(to);
    f.destination = incoming->view;
    f.destinationWidget = incoming->widget;
    ++flights;
  }
  m_overlay->launch();
  return flights;
}

} // namespace lumora
