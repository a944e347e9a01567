#pragma once

#include "app/shell/components/HeroView.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

/// A hero view for tests: a photo of one colour (or none, still loading) under a white
/// badge in its top-left corner; it records the layer it is asked to draw and the photo it
/// receives.
class PhotoPane : public QWidget, public lumora::HeroView {
public:
  PhotoPane(QWidget *parent, QColor colour, QRect geometry) : QWidget(parent) {
    setPhoto(colour);
    setGeometry(geometry);
  }
  void setPhoto(QColor color) {
    photo = QImage(40, 30, QImage::Format_RGB32);
    photo.fill(color);
  }
  QWidget *heroWidget() override { return this; }
  QImage heroPhoto() const override { return photo; }
  lumora::HeroCorners heroCorners() const override { return {}; }
  void setHeroLayer(Layer layer) override { layer_ = layer; }
  void receiveHeroPhoto(const QImage &image) override { received = image; }
  [[nodiscard]] Layer layer() const { return layer_; }

  QImage photo;
  QImage received;

protected:
  void paintEvent(QPaintEvent *) override {
    QPainter painter(this);
    if (layer_ == Layer::whole || layer_ == Layer::photo) {
      painter.drawImage(rect(), photo);
    }
    if (layer_ != Layer::photo) {
      painter.fillRect(0, 0, 10, 10, Qt::white);
    }
  }

private:
  Layer layer_ = Layer::whole;
};
