#include "editor/link_window.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "editor/window_keys.h"

namespace quillane {

namespace {
QString qs(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

LinkWindow::LinkWindow(Platform& platform, int tx, int ty, QWidget* parent)
    : QWidget(parent, Qt::Window), m_injector(platform) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(QStringLiteral("CSSの適用"));
  closeWithEscape(this);
  setFixedSize(5745 / tx, 9105 / ty);
  // The controls stand where the twips put them, sized for a compact face:
  // a size smaller than the editor's keeps every caption whole.
  QFont compact = font();
  compact.setPointSizeF(compact.pointSizeF() * 0.85);
  setFont(compact);
  // left, top, width, height in twips
  const auto place = [&](auto* widget, std::string_view name, int left, int top, int width, int height) {
    m_controls.add(name, widget);
    widget->setParent(this);
    widget->setGeometry(left / tx, top / ty, width / tx, height / ty);
    return widget;
  };

  auto* intro = place(
      new QLabel(QStringLiteral(
          "CSSファイルをHTMLファイルに適用させます。ただし、CSSファイルとHTMLファイルを同じディレクトリ（フォルダ）に"
          "おいておく必要があります。また、失敗する可能性もありますのでご注意ください（未確認）。")),
      "Label1", 120, 120, 5655, 615);
  intro->setWordWrap(true);
  auto* pageLabel = place(new QLabel(QStringLiteral("HTMLファイルの場所")), "Label3", 120, 1080, 1695, 255);
  const QString home = QDir::homePath() + QLatin1Char('/');
  auto* pagePath = place(new QLineEdit(home), "Text1", 1800, 960, 2895, 270);
  auto* browsePage = place(new QPushButton(QStringLiteral("参照(&B)")), "Command1", 4800, 960, 855, 255);
  auto* cssLabel = place(new QLabel(QStringLiteral("CSSファイルの場所")), "Label2", 120, 1560, 1575, 255);
  auto* cssPath = place(new QLineEdit(home), "Text2", 1800, 1560, 2895, 270);
  auto* browseCss = place(new QPushButton(QStringLiteral("参照(&R)")), "Command2", 4800, 1560, 855, 255);
  // Access keys as Japanese programs show them. The boxes are named by their
  // labels, the two browse buttons by the box each fills.
  pageLabel->setBuddy(pagePath);
  cssLabel->setBuddy(cssPath);
  browsePage->setAccessibleName(QStringLiteral("HTMLファイルの場所 参照"));
  browseCss->setAccessibleName(QStringLiteral("CSSファイルの場所 参照"));
  auto* comment = place(new QCheckBox(QStringLiteral("コメントの挿入(&C)")), "Check1", 120, 2040, 1650, 375);
  comment->setChecked(m_injector.comment);
  auto* previewNew = place(new QPushButton(QStringLiteral("新規プレビュー(&P)")), "Command4", 1830, 2040, 1410, 375);
  auto* previewAsIs =
      place(new QPushButton(QStringLiteral("下のままプレビュー(&A)")), "Command5", 3285, 2040, 1665, 375);
  m_save = place(new QPushButton(QStringLiteral("保存(&S)")), "Command3", 4995, 2040, 660, 375);
  place(new QLabel(QStringLiteral("↓書き換え後")), "Label4", 240, 2520, 4215, 255);
  m_text = place(new QPlainTextEdit, "Rich1", 120, 2760, 5535, 5655);
  m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
  m_text->setAccessibleName(QStringLiteral("書き換え後のページ"));
  m_status = place(new QLabel, "Label5", 120, 8475, 5535, 570);
  m_status->setWordWrap(true);
  m_status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  m_status->setTextFormat(Qt::PlainText);

  m_injector.setPagePath(pagePath->text().toStdString());
  m_injector.setStyleSheetPath(cssPath->text().toStdString());
  // A path changed after a rewrite leaves that rewrite unsaveable.
  const auto pathChanged = [this](bool couldSave) {
    m_saveOff = couldSave || m_saveOff == SaveOff::PathsChanged ? SaveOff::PathsChanged : SaveOff::NoRewrite;
    updateSaveButton();
  };
  connect(pagePath, &QLineEdit::textChanged, this, [this, pathChanged](const QString& text) {
    const bool couldSave = m_injector.canSave();
    m_injector.setPagePath(text.toStdString());
    pathChanged(couldSave);
  });
  connect(cssPath, &QLineEdit::textChanged, this, [this, pathChanged](const QString& text) {
    const bool couldSave = m_injector.canSave();
    m_injector.setStyleSheetPath(text.toStdString());
    pathChanged(couldSave);
  });
  connect(comment, &QCheckBox::toggled, this, [this](bool on) { m_injector.comment = on; });
  connect(m_text, &QPlainTextEdit::textChanged, this, [this] {
    if (!m_showing)
      m_injector.setText(m_text->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toStdString());
  });
  connect(browsePage, &QPushButton::clicked, this, &LinkWindow::Command1_Click);
  connect(browseCss, &QPushButton::clicked, this, &LinkWindow::Command2_Click);
  connect(previewNew, &QPushButton::clicked, this, &LinkWindow::Command4_Click);
  connect(previewAsIs, &QPushButton::clicked, this, &LinkWindow::Command5_Click);
  connect(m_save, &QPushButton::clicked, this, &LinkWindow::Command3_Click);
  updateSaveButton();
}

void LinkWindow::Command1_Click() {
  if (m_injector.browsePage()) m_controls.get<QLineEdit>("Text1")->setText(qs(m_injector.pagePath()));
}

void LinkWindow::Command2_Click() {
  if (m_injector.browseStyleSheet()) m_controls.get<QLineEdit>("Text2")->setText(qs(m_injector.styleSheetPath()));
}

void LinkWindow::Command3_Click() {
  const QString page = qs(m_injector.pagePath());
  if (m_injector.save())
    m_status->setText(QStringLiteral("「%1」に保存しました。").arg(page));
  else
    m_status->setText(QStringLiteral("「%1」に保存できませんでした。").arg(page));
}

void LinkWindow::Command4_Click() {
  m_injector.previewNew();
  m_saveOff = SaveOff::RewriteFailed;  // unless saving is on now
  showText();
  updateSaveButton();
}

void LinkWindow::Command5_Click() {
  m_injector.previewAsIs();
  updateSaveButton();
}

void LinkWindow::showInjectorText() {
  // A rewrite made by the editor's chosen-page preview, not for this page.
  m_saveOff = SaveOff::OtherPage;
  showText();
  updateSaveButton();
}

void LinkWindow::placeOver(const QWidget* editor) {
  // The frame the window manager will add is not known before the first
  // show: the editor's own is the best guess.
  const QSize frame = editor->frameGeometry().size() - editor->size();
  const QSize outer = size() + frame;
  const QScreen* screen = editor->screen();
  QRect room = screen != nullptr ? screen->availableGeometry() : QRect(QPoint(0, 0), outer);
  const QPoint centre = editor->frameGeometry().center();
  QPoint topLeft(centre.x() - outer.width() / 2, centre.y() - outer.height() / 2);
  topLeft.setX(qBound(room.left(), topLeft.x(), qMax(room.left(), room.right() + 1 - outer.width())));
  topLeft.setY(qBound(room.top(), topLeft.y(), qMax(room.top(), room.bottom() + 1 - outer.height())));
  move(topLeft);
}

QString LinkWindow::statusText() const { return m_status->text(); }

void LinkWindow::showText() {
  // The box shows line feeds; the injector keeps the page's CR LF.
  m_showing = true;
  m_text->setPlainText(QString::fromStdString(m_injector.text()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  m_showing = false;
}

void LinkWindow::updateSaveButton() {
  const bool canSave = m_injector.canSave();
  m_save->setEnabled(canSave);
  if (canSave) {
    m_status->setText(QStringLiteral("「保存」で、下の内容を「%1」に上書きします。").arg(qs(m_injector.pagePath())));
    return;
  }
  switch (m_saveOff) {
    case SaveOff::NoRewrite:
      m_status->setText(QStringLiteral("「新規プレビュー」で書き換えると、「保存」できるようになります。"));
      break;
    case SaveOff::PathsChanged:
      m_status->setText(
          QStringLiteral("書き換えた後にファイルの場所が変わったので、「保存」できません。もう一度「新規プレビュー」で"
                         "書き換えてください。"));
      break;
    case SaveOff::RewriteFailed:
      m_status->setText(
          QStringLiteral("書き換えられなかったので、「保存」できません。ファイルの場所を確かめてください。"));
      break;
    case SaveOff::OtherPage:
      m_status->setText(
          QStringLiteral("下の内容は「ファイルを指定」のプレビューで書き換えたものなので、ここからは"
                         "「保存」できません。"));
      break;
  }
}

}  // namespace quillane
