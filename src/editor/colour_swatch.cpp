#include "editor/colour_swatch.h"

#include <QPainter>

#include "document/colour_text.h"

namespace quillane {

ColourSwatch::ColourSwatch(QWidget* parent) : QFrame(parent) {
  setFrameShape(QFrame::Box);
  setFixedSize(22, 16);
  describeColour();
}

// Screen readers say the colour in words and hexadecimal: "赤 #FF0000".
void ColourSwatch::describeColour() {
  const auto bgr = static_cast<BgrColour>(m_colour.red() | m_colour.green() << 8 | m_colour.blue() << 16);
  setAccessibleDescription(QString::fromStdString(colourWords(bgr)));
}

void ColourSwatch::setColour(const QColor& colour) {
  if (colour == m_colour) return;
  m_colour = colour;
  describeColour();
  update();
}

void ColourSwatch::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(rect(), m_colour);
  painter.end();
  QFrame::paintEvent(event);
}

}  // namespace quillane
