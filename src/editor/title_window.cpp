#include "editor/title_window.h"

#include <QApplication>
#include <QByteArrayView>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QResource>
#include <QScreen>

namespace quillane {

namespace {

// The title picture, kept as a binary PPM ("P6 375 300 255", then the RGB
// pixels, those the original JPEG decodes to) that the resources store
// uncompressed: the picture is drawn from the pixels where they lie, which
// takes no image decoder and no copy at start-up. Any other layout of the
// file is read the usual way.
QImage titlePicture() {
  const QResource resource(QStringLiteral(":/title.ppm"));
  const QByteArray header("P6\n375 300\n255\n");
  const int width = 375, height = 300;
  if (resource.compressionAlgorithm() == QResource::NoCompression &&
      resource.size() == header.size() + qint64(width) * height * 3 &&
      QByteArrayView(resource.data(), header.size()) == header)
    return QImage(resource.data() + header.size(), width, height, width * 3, QImage::Format_RGB888);
  return QImage(QStringLiteral(":/title.ppm"));
}

// The picture, stretched over its place, reports clicks to its window,
// which closes.
class TitlePicture : public QWidget {
 public:
  explicit TitlePicture(QWidget* parent) : QWidget(parent), m_picture(titlePicture()) {}

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(rect(), m_picture); }
  void mousePressEvent(QMouseEvent* event) override {
    event->accept();
    window()->close();
  }

 private:
  QImage m_picture;
};

}  // namespace

TitleWindow::TitleWindow(int tx, int ty, QWidget* editor, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), m_editor(editor) {
  setObjectName(QStringLiteral("Form2"));
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(5850 / tx, 4710 / ty);
  auto* picture = new TitlePicture(this);
  picture->setObjectName(QStringLiteral("Image1"));
  picture->setGeometry(105 / tx, 105 / ty, 5625 / tx, 4500 / ty);
}

void TitleWindow::showCentred() {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect area = frameGeometry();
    area.moveCenter(screen->availableGeometry().center());
    move(area.topLeft());
  }
  show();
  raise();
}

void TitleWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Keys pressed in any window of the program close the picture, whichever
  // of them the desktop gave the keyboard to; the picture asks for it, so
  // that with no window manager to hand it out the keys still arrive.
  qApp->installEventFilter(this);
  activateWindow();
}

void TitleWindow::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  qApp->removeEventFilter(this);
  if (m_editor != nullptr && m_editor->isVisible()) {
    m_editor->raise();
    m_editor->activateWindow();
  }
}

void TitleWindow::mousePressEvent(QMouseEvent* event) {
  event->accept();
  close();
}

bool TitleWindow::eventFilter(QObject* watched, QEvent* event) {
  // A key first offers itself to the shortcuts: taking that offer keeps
  // Ctrl+O or Alt+F from acting while the picture is up. The press itself
  // then closes the picture and goes no further. A modifier pressed on its
  // own is a key too, so Ctrl+O pressed at once closes the picture with
  // Ctrl and opens the file dialog with O.
  if (event->type() == QEvent::ShortcutOverride) {
    event->accept();
    return true;
  }
  if (event->type() == QEvent::KeyPress) {
    close();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace quillane
