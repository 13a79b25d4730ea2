// The pictures of the README and the help page, made from the editor itself
// on a real X display (docs/pictures/make.sh runs this under Xvfb): the
// editor on its first tab, its effects tab and its dark tab, the live view
// beside the editor with the modern output on, the live view alone at a
// phone's width in the light and the dark scheme, and the link window with a rewritten
// page. Every picture is taken at the editor's own size, in the face it sets
// up, from one of the installed samples, so the pictures change only when
// what they show changes.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>
#include <QTest>

#include "editor/application_setup.h"
#include "editor/link_window.h"
#include "editor/live_view_window.h"
#include "editor/main_window.h"
#include "editor_controls.h"
#include "fake_platform.h"
#include "generation/colour_scheme.h"

using namespace quillane;

class EditorPictures : public QObject {
  Q_OBJECT

 private:
  testing::FakePlatform m_platform;
  // A fixed folder, since the link window shows its paths.
  QDir m_folder{QDir::tempPath() + QStringLiteral("/サイト")};
  QString m_output;
  std::unique_ptr<MainWindow> m_editor;

  template <class T = QWidget>
  T* control(std::string_view family, int index = kNoIndex) const {
    return testing::requireControl<T>(*m_editor, family, index);
  }

  // The part of the screen that `windows` cover, as the display shows it.
  void keep(const QString& name, std::initializer_list<QWidget*> windows) {
    QTest::qWait(400);  // the last paint, and the live view's engine
    QRect area;
    for (QWidget* w : windows) area |= w->frameGeometry();
    const QPixmap shot = m_editor->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    QVERIFY(!shot.isNull());
    QVERIFY(shot.save(QDir(m_output).filePath(name + QStringLiteral(".png"))));
  }

 private Q_SLOTS:
  void initTestCase() {
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
      QSKIP("needs a real X display (xvfb-run with QT_QPA_PLATFORM=xcb)");
    m_output = qEnvironmentVariable("QUILLANE_PICTURES");
    QVERIFY2(!m_output.isEmpty(), "QUILLANE_PICTURES names the folder the pictures go to");
    QDir().mkpath(m_output);
    setUpEditorApplication();
    testing::layOutApplicationFolder(m_folder.path());
    // The live view's size and scheme from this run alone, not the user's.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_folder.filePath(QStringLiteral("settings")));
    QSettings().clear();
    for (const QString& name : QDir(QStringLiteral(QUILLANE_INSTALL_FOLDER "/sample")).entryList(QDir::Files))
      QVERIFY(QFile::copy(QStringLiteral(QUILLANE_INSTALL_FOLDER "/sample/") + name,
                          m_folder.filePath(QStringLiteral("sample/") + name)));
    QVERIFY(QFile::copy(QStringLiteral(QUILLANE_INSTALL_FOLDER "/preview/pal.png"),
                        m_folder.filePath(QStringLiteral("preview/pal.png"))));

    m_editor = std::make_unique<MainWindow>(m_platform, m_folder.path());
    m_editor->move(0, 0);
    m_editor->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_editor.get()));
    m_editor->MenuTuika_Click(3);  // 04-sakura: colours, a picture and classes
  }
  void cleanupTestCase() {
    m_editor.reset();
    m_folder.removeRecursively();
  }

  void editorOnItsFirstTab() {
    control<QTabWidget>("SSTab1")->setCurrentIndex(0);
    keep(QStringLiteral("editor"), {m_editor.get()});
  }

  void editorOnItsEffectsTab() {
    control<QTabWidget>("SSTab1")->setCurrentIndex(2);
    keep(QStringLiteral("editor-effects"), {m_editor.get()});
  }

  // The dark tab with the colours "自動で作る" derives from the sample's.
  void editorOnItsDarkTab() {
    control<QCheckBox>("Check28")->setChecked(true);
    control<QCheckBox>("CheckDark")->setChecked(true);
    m_editor->deriveDarkColours();
    control<QTabWidget>("SSTab1")->setCurrentIndex(4);
    keep(QStringLiteral("editor-dark"), {m_editor.get()});
    m_editor->undoStack()->undo();
    control<QCheckBox>("CheckDark")->setChecked(false);
    control<QCheckBox>("Check28")->setChecked(false);
  }

  void liveViewBesideTheEditor() {
    control<QTabWidget>("SSTab1")->setCurrentIndex(0);
    control<QCheckBox>("Check28")->setChecked(true);
    m_editor->LiveView_Click();
    LiveViewWindow* view = m_editor->liveViewWindow();
    QVERIFY(QTest::qWaitForWindowExposed(view));
    QVERIFY2(view->engine() != nullptr, qPrintable(view->engineProblem()));
    QTest::qWait(3000);  // the engine's first page
    keep(QStringLiteral("live-view"), {m_editor.get(), view});
    view->hide();
  }

  // The same document with its dark variant made by "自動で作る", at a
  // phone's width, in each scheme.
  void liveViewAtAPhonesWidthLightAndDark() {
    deriveDarkVariant(m_editor->document());
    m_editor->document().dark.enabled = 1;
    LiveViewWindow* view = m_editor->liveViewWindow();
    view->move(0, 0);
    view->resize(560, 940);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view));
    view->refresh();
    view->findChild<QPushButton*>(QStringLiteral("LiveSizePhone"))->click();
    for (const char* scheme : {"Light", "Dark"}) {
      view->findChild<QPushButton*>(QStringLiteral("LiveScheme") + QLatin1String(scheme))->click();
      QTest::qWait(1500);  // the page laid out at its new width, then drawn in the scheme
      keep(QStringLiteral("live-view-phone-") + QString::fromLatin1(scheme).toLower(), {view});
    }
    view->hide();
  }

  void linkWindowWithARewrittenPage() {
    const QString page = m_folder.filePath(QStringLiteral("index.html"));
    QFile file(page);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("<!DOCTYPE html>\r\n<html lang=\"ja\">\r\n<head>\r\n<meta charset=\"UTF-8\">\r\n"
                              "<title>わたしのページ</title>\r\n</head>\r\n<body>\r\n<p>こんにちは</p>\r\n</body>\r\n"
                              "</html>\r\n")
                   .toUtf8());
    file.close();
    m_editor->JointCSS_Click();
    LinkWindow* link = m_editor->linkWindow();
    QVERIFY(QTest::qWaitForWindowExposed(link));
    link->move(0, 0);
    link->controls().get<QLineEdit>("Text1")->setText(page);
    link->controls().get<QLineEdit>("Text2")->setText(m_folder.filePath(QStringLiteral("style.css")));
    link->Command4_Click();
    keep(QStringLiteral("link-window"), {link});
    link->hide();
  }
};

QTEST_MAIN(EditorPictures)
#include "pictures.moc"
