// The editor's desktop services with real Qt dialogs under the offscreen
// platform: message boxes in plain text with Japanese buttons, and a file
// dialog memory of its own for each window.
#include "editor/qt_platform.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "editor/application_setup.h"
#include "editor/font_dialogs.h"

using namespace quillane;

namespace {

// Runs `answer` on the next modal dialog once it is open.
void whenModal(std::function<void(QWidget*)> answer) {
  auto* poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, answer = std::move(answer)] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      poll->deleteLater();
      poll->stop();
      answer(modal);
    }
  });
  poll->start(10);
}

}  // namespace

class QtPlatformTest : public QObject {
  Q_OBJECT

 private:
  QtPlatform m_platform;

  // A shown, active top-level window named like one of the program's.
  static std::unique_ptr<QWidget> window(const QString& name) {
    auto w = std::make_unique<QWidget>();
    w->setObjectName(name);
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w.get())) qWarning("window %s not active", qPrintable(name));
    return w;
  }

 private Q_SLOTS:
  void initTestCase() { QVERIFY(setUpEditorApplication()); }

  void messageBoxesShowTheirTextAsPlainTextWithJapaneseButtons() {
    QString shown, cancelCaption;
    Qt::TextFormat format = Qt::RichText;
    whenModal([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      QVERIFY(box != nullptr);
      shown = box->text();
      format = box->textFormat();
      cancelCaption = box->button(QMessageBox::Cancel)->text();
      box->button(QMessageBox::Cancel)->click();
    });
    const MessageAnswer answer = m_platform.messageBox(
        "このファイルには<HEAD>タグが含まれていません\r\nQuillaneが自動で<HEAD>タグを挿入します。", "",
        MessageIcon::None, MessageButtons::OkCancel);
    QCOMPARE(answer, MessageAnswer::Cancel);
    QCOMPARE(format, Qt::PlainText);
    QCOMPARE(shown,
             QStringLiteral("このファイルには<HEAD>タグが含まれていません\nQuillaneが自動で<HEAD>タグを挿入します。"));
    QCOMPARE(cancelCaption, QStringLiteral("キャンセル"));
  }

  // A short message still shows its whole title, with room for the title
  // bar's buttons; a success says so with the information icon.
  void shortMessagesKeepTheirTitleWholeAndTheirIcon() {
    const std::tuple<const char*, const char*, MessageIcon, QMessageBox::Icon> cases[] = {
        {"保存完了", "", MessageIcon::Information, QMessageBox::Information},
        {"x", "注意！！！", MessageIcon::Critical, QMessageBox::Critical},
        {"?", "読み込みエラー", MessageIcon::Exclamation, QMessageBox::Warning},
    };
    for (const auto& [text, title, icon, qtIcon] : cases) {
      QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
      int width = 0;
      QString shownTitle;
      whenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box != nullptr);
        shownIcon = box->icon();
        width = box->width();
        shownTitle = box->windowTitle();
        box->button(QMessageBox::Ok)->click();
      });
      m_platform.messageBox(text, title, icon, MessageButtons::Ok);
      QCOMPARE(shownIcon, qtIcon);
      QFont bold = QApplication::font();
      bold.setBold(true);
      QVERIFY2(width >= QFontMetrics(bold).horizontalAdvance(shownTitle) + 120, qPrintable(shownTitle));
    }
  }

  // The class-name question: its whole title, with room for the title
  // bar's buttons, and an empty field.
  void aQuestionKeepsItsTitleWholeAndStartsEmpty() {
    int width = 0;
    QString shownTitle, shownValue = QStringLiteral("?");
    whenModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<QInputDialog*>(modal);
      QVERIFY(dialog != nullptr);
      width = dialog->width();
      shownTitle = dialog->windowTitle();
      shownValue = dialog->textValue();
      dialog->reject();
    });
    QCOMPARE(m_platform.prompt("クラスの名前を入力してください", "クラスの名前を変更"), std::string());
    QCOMPARE(shownTitle, QStringLiteral("クラスの名前を変更"));
    QCOMPARE(shownValue, QString());
    QFont bold = QApplication::font();
    bold.setBold(true);
    QVERIFY2(width >= QFontMetrics(bold).horizontalAdvance(shownTitle) + 160, qPrintable(QString::number(width)));
  }

  void theSaveQuestionHasThreeJapaneseButtonsAndAnswersEach() {
    const std::pair<QMessageBox::StandardButton, MessageAnswer> cases[] = {
        {QMessageBox::Save, MessageAnswer::Save},
        {QMessageBox::Discard, MessageAnswer::Discard},
        {QMessageBox::Cancel, MessageAnswer::Cancel}};
    for (const auto& [button, expected] : cases) {
      QStringList captions;
      whenModal([&captions, button = button](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box != nullptr);
        for (QAbstractButton* b : box->buttons()) captions << b->text();
        box->button(button)->click();
      });
      QCOMPARE(m_platform.messageBox("「mine.qlf」への変更を保存しますか？", "", MessageIcon::Exclamation,
                                     MessageButtons::SaveDiscardCancel),
               expected);
      captions.sort();
      QCOMPARE(captions, (QStringList{"キャンセル", "保存(&S)", "保存しない(&N)"}));
    }
    // Escape, or the close box, is a cancel.
    whenModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    QCOMPARE(m_platform.messageBox("?", "", MessageIcon::Exclamation, MessageButtons::SaveDiscardCancel),
             MessageAnswer::Cancel);
  }

  // The font chooser starts at the form's font among the installed faces and
  // puts an opened file's faces first; the licence dialog shows the text and
  // answers 了承 or キャンセル.
  void theFontChooserAndTheLicenceDialogAnswer() {
    QtPlatform platform;
    const QString bold = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf");
    QString first;
    whenModal([&](QWidget* modal) {
      auto* list = modal->findChild<QListWidget*>(QStringLiteral("FontList"));
      first = list->currentItem()->text();
      // The arrows in the filter box move in the list.
      QTest::keyClick(modal->findChild<QLineEdit*>(QStringLiteral("FontFilter")), Qt::Key_Down);
      QCOMPARE(list->currentRow(), 1);
      static_cast<FontChooser*>(modal)->addFile(bold.toStdString());
      QCOMPARE(modal->findChild<QListWidget*>(QStringLiteral("FontList"))->currentItem()->text(),
               QStringLiteral("DejaVu Sans Bold（DejaVuSans-Bold.ttf）"));
      modal->findChild<QPushButton*>(QStringLiteral("FontEmbed"))->click();
    });
    const std::optional<FontChoice> choice = platform.chooseFont("DejaVu Sans");
    QCOMPARE(first, QStringLiteral("DejaVu Sans"));
    QVERIFY(choice.has_value());
    QCOMPARE(choice->file, bold.toStdString());
    QCOMPARE(choice->index, 0u);

    for (const bool accept : {true, false}) {
      whenModal([&](QWidget* modal) {
        QCOMPARE(modal->windowTitle(), QStringLiteral("DejaVu Sans Book の使用許諾"));
        QCOMPARE(modal->findChild<QPlainTextEdit*>(QStringLiteral("LicenceText"))->toPlainText(),
                 QStringLiteral("Free to use.\n\nhttp://example.com/licence"));
        if (accept)
          modal->findChild<QPushButton*>(QStringLiteral("LicenceAccept"))->click();
        else
          static_cast<QDialog*>(modal)->reject();
      });
      QCOMPARE(platform.acceptLicence("DejaVu Sans Book", "このフォントは埋め込みが許されています（制限なし）。",
                                      "Free to use.\n\nhttp://example.com/licence", MessageIcon::Information),
               accept);
    }
  }

  void eachWindowKeepsItsOwnLastFileName() {
    QTemporaryDir folder;
    const QString editorFile = folder.filePath(QStringLiteral("mine.qlf"));
    const QString pageFile = folder.filePath(QStringLiteral("page.html"));
    for (const QString& name : {editorFile, pageFile}) {
      QFile file(name);
      QVERIFY(file.open(QIODevice::WriteOnly));
    }
    // Types `chosen` into the next file dialog and notes what it offered.
    const auto pick = [](const QString& chosen, QString* offered) {
      whenModal([chosen, offered](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QVERIFY(dialog != nullptr);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name != nullptr);
        *offered = QDir(dialog->directory()).filePath(name->text());
        name->setText(chosen);
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
      });
    };

    QString offered;
    auto form1 = window(QStringLiteral("Form1"));
    pick(editorFile, &offered);
    QCOMPARE(m_platform.fileDialog(FileDialogMode::Open, "Quillane設定ファイル(*.qlf)|*.qlf"),
             std::optional<std::string>(editorFile.toStdString()));

    auto form4 = window(QStringLiteral("Form4"));
    pick(pageFile, &offered);
    QVERIFY(m_platform.fileDialog(FileDialogMode::Open, "(*.htm,*.html)|*.htm;*.html").has_value());
    QVERIFY2(!offered.endsWith(QStringLiteral("mine.qlf")), qPrintable(offered));

    form1->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form1.get()));
    pick(editorFile, &offered);
    QVERIFY(m_platform.fileDialog(FileDialogMode::Open, "Quillane設定ファイル(*.qlf)|*.qlf").has_value());
    QCOMPARE(offered, editorFile);
  }
};

QTEST_MAIN(QtPlatformTest)
#include "qt_platform_test.moc"
