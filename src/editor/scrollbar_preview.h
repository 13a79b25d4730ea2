// BarPic1: a drawn vertical scrollbar in the seven scrollbar colours, made
// of plain boxes, lines and two arrow characters: an up button, a thumb and
// a down button on the track colour.
#pragma once

#include <QImage>
#include <QWidget>
#include <array>

namespace quillane {

class ScrollbarPreview : public QWidget {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(ScrollbarPreview)

 public:
  static constexpr int kWidthTwips = 225;
  static constexpr int kHeightTwips = 4110;

  // The colours of rows 11..17, index 0 being row 11.
  using RowColours = std::array<QColor, 7>;

  explicit ScrollbarPreview(QWidget* parent = nullptr);

  // The grey look of a row whose box is not ticked.
  static QColor defaultColour(int row);

  // Sizes the picture for `tx` x `ty` twips per pixel.
  void setTwipsPerPixel(int tx, int ty);

  // Repaints the whole picture from the row colours. What is drawn stays
  // until the next redraw.
  void redraw(const RowColours& colours);

  const QImage& picture() const { return m_picture; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  int m_tx = 15;
  int m_ty = 15;
  QImage m_picture;
};

}  // namespace quillane
