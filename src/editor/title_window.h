// Form2: the borderless title picture shown over the ready editor at start,
// gone at the first click on it or the first key pressed anywhere in the
// program. That key does nothing else; the keyboard then belongs to the
// editor, so that the next key works there.
#pragma once

#include <QPointer>
#include <QWidget>

namespace quillane {

class TitleWindow : public QWidget {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(TitleWindow)

 public:
  // Sized in twips: 5850 x 4710, the picture 5625 x 4500 at (105, 105).
  // `editor`, when given, is the window that gets the keyboard when the
  // picture closes.
  explicit TitleWindow(int twipsPerPixelX, int twipsPerPixelY, QWidget* editor = nullptr, QWidget* parent = nullptr);

  // Shows the window in the middle of the screen, above the others.
  void showCentred();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QWidget> m_editor;
};

}  // namespace quillane
