#include "editor/title_window.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>

namespace quillane {

namespace {

// The picture reports clicks to its window, which closes.
class TitlePicture : public QLabel {
 public:
  using QLabel::QLabel;

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    event->accept();
    window()->close();
  }
};

}  // namespace

TitleWindow::TitleWindow(int tx, int ty, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("Form2"));
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(5850 / tx, 4710 / ty);
  auto* picture = new TitlePicture(this);
  picture->setObjectName(QStringLiteral("Image1"));
  picture->setGeometry(105 / tx, 105 / ty, 5625 / tx, 4500 / ty);
  picture->setScaledContents(true);
  picture->setPixmap(QPixmap(QStringLiteral(":/title.jpg")));
}

void TitleWindow::centreOnScreen() {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect area = frameGeometry();
    area.moveCenter(screen->availableGeometry().center());
    move(area.topLeft());
  }
}

void TitleWindow::mousePressEvent(QMouseEvent* event) {
  event->accept();
  close();
}

}  // namespace quillane
