// Shape1..Shape6: a small filled box showing the colour of its text box,
// which it also gives screen readers as its description.
#pragma once

#include <QColor>
#include <QFrame>

namespace quillane {

class ColourSwatch : public QFrame {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(ColourSwatch)

 public:
  explicit ColourSwatch(QWidget* parent = nullptr);

  QColor colour() const { return m_colour; }
  void setColour(const QColor& colour);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void describeColour();

  QColor m_colour = Qt::black;
};

}  // namespace quillane
