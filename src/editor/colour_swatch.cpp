#include "editor/colour_swatch.h"

#include <QPainter>

namespace quillane {

ColourSwatch::ColourSwatch(QWidget* parent) : QFrame(parent) {
  setFrameShape(QFrame::Box);
  setFixedSize(22, 16);
}

void ColourSwatch::setColour(const QColor& colour) {
  if (colour == m_colour) return;
  m_colour = colour;
  update();
}

void ColourSwatch::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(rect(), m_colour);
  painter.end();
  QFrame::paintEvent(event);
}

}  // namespace quillane
