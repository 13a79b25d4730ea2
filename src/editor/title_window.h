// Form2: the borderless title picture shown over the ready editor at start,
// gone at the first click.
#pragma once

#include <QWidget>

namespace quillane {

class TitleWindow : public QWidget {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(TitleWindow)

 public:
  // Sized in twips: 5850 x 4710, the picture 5625 x 4500 at (105, 105).
  explicit TitleWindow(int twipsPerPixelX, int twipsPerPixelY, QWidget* parent = nullptr);

  // Places the window in the middle of the screen.
  void centreOnScreen();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace quillane
