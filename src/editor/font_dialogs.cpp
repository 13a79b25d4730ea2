#include "editor/font_dialogs.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "document/message_text.h"
#include "editor/font_work.h"

namespace quillane {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

constexpr int kFileRole = Qt::UserRole;
constexpr int kIndexRole = Qt::UserRole + 1;

QListWidgetItem* faceItem(const QString& shown, const std::string& file, unsigned index) {
  auto* item = new QListWidgetItem(shown);
  item->setData(kFileRole, qs(file));
  item->setData(kIndexRole, index);
  item->setToolTip(qs(file));
  return item;
}

}  // namespace

FontChooser::FontChooser(const std::vector<InstalledFace>& faces, const QString& family, AskFile askFile,
                         QWidget* parent)
    : QDialog(parent), m_askFile(std::move(askFile)) {
  setObjectName(QStringLiteral("FontChooser"));
  setWindowTitle(QStringLiteral("埋め込むフォントの選択"));
  auto* note = new QLabel(QStringLiteral("Web フォントとして埋め込むフォントを選んでください。ページで使う文字だけを"
                                         "取り出して、小さな WOFF2 ファイルにします。"),
                          this);
  note->setWordWrap(true);
  auto* filterLabel = new QLabel(QStringLiteral("絞り込み(&S):"), this);
  m_filter = new QLineEdit(this);
  m_filter->setObjectName(QStringLiteral("FontFilter"));
  m_filter->setAccessibleName(QStringLiteral("フォントの絞り込み"));
  filterLabel->setBuddy(m_filter);
  auto* listLabel = new QLabel(QStringLiteral("インストールされているフォント(&L):"), this);
  m_list = new QListWidget(this);
  m_list->setObjectName(QStringLiteral("FontList"));
  m_list->setAccessibleName(QStringLiteral("埋め込むフォント"));
  listLabel->setBuddy(m_list);
  m_list->setUniformItemSizes(true);

  // The faces of the form's font first, then every other in order.
  QList<QListWidgetItem*> others;
  for (const InstalledFace& face : faces) {
    QListWidgetItem* item = faceItem(qs(face.fullName), face.file, face.index);
    if (!family.isEmpty() && qs(face.family).compare(family, Qt::CaseInsensitive) == 0)
      m_list->addItem(item);
    else
      others << item;
  }
  const bool familyFound = m_list->count() > 0;
  for (QListWidgetItem* item : others) m_list->addItem(item);
  if (m_list->count() > 0) m_list->setCurrentRow(0);
  if (!familyFound) m_list->setCurrentRow(-1);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* embed = buttons->addButton(QStringLiteral("埋め込む(&E)"), QDialogButtonBox::AcceptRole);
  embed->setObjectName(QStringLiteral("FontEmbed"));
  QPushButton* fromFile = buttons->addButton(QStringLiteral("ファイルから(&F)…"), QDialogButtonBox::ActionRole);
  fromFile->setObjectName(QStringLiteral("FontFromFile"));
  buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
  embed->setDefault(true);
  embed->setEnabled(m_list->currentItem() != nullptr);
  connect(m_list, &QListWidget::currentItemChanged, this,
          [embed](QListWidgetItem* now) { embed->setEnabled(now != nullptr && !now->isHidden()); });
  connect(m_list, &QListWidget::itemActivated, this, &QDialog::accept);
  connect(m_filter, &QLineEdit::textChanged, this, &FontChooser::filter);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(fromFile, &QPushButton::clicked, this, [this] {
    if (const auto path = m_askFile()) addFile(*path);
  });

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(note);
  auto* filterLine = new QHBoxLayout;
  filterLine->addWidget(filterLabel);
  filterLine->addWidget(m_filter, 1);
  layout->addLayout(filterLine);
  layout->addWidget(listLabel);
  layout->addWidget(m_list, 1);
  layout->addWidget(buttons);
  m_filter->installEventFilter(this);
  resize(520, 440);
  m_filter->setFocus();
}

bool FontChooser::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_filter && event->type() == QEvent::KeyPress) {
    switch (static_cast<QKeyEvent*>(event)->key()) {
      case Qt::Key_Up:
      case Qt::Key_Down:
      case Qt::Key_PageUp:
      case Qt::Key_PageDown:
        QCoreApplication::sendEvent(m_list, event);
        return true;
      default:
        break;
    }
  }
  return QDialog::eventFilter(watched, event);
}

std::optional<FontChoice> FontChooser::choice() const {
  const QListWidgetItem* item = m_list->currentItem();
  if (item == nullptr || item->isHidden()) return std::nullopt;
  return FontChoice{item->data(kFileRole).toString().toStdString(), item->data(kIndexRole).toUInt()};
}

void FontChooser::addFile(const std::string& path) {
  const LoadedFontWork loaded = loadFontWork(fontWorkPluginFolders(QCoreApplication::applicationDirPath()));
  const FontFileOffer file =
      loaded.work != nullptr ? loaded.work->readFontFile(path) : FontFileOffer{{}, loaded.problem.toStdString()};
  if (!file.ok()) {
    QMessageBox box(QMessageBox::Critical, windowTitle(), qs(file.refused), QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return;
  }
  // The file's faces head the list, named as the file names them.
  const QString fileName = QFileInfo(qs(path)).fileName();
  int row = 0;
  for (const FontFaceOffer& face : file.faces) {
    const QString shown = qs(shownText(face.name, 200)) + QStringLiteral("（") + fileName + QStringLiteral("）");
    m_list->insertItem(row++, faceItem(shown, path, face.index));
  }
  m_filter->clear();
  m_list->setCurrentRow(0);
  m_list->setFocus();
}

void FontChooser::filter(const QString& words) {
  QListWidgetItem* firstShown = nullptr;
  for (int row = 0; row < m_list->count(); ++row) {
    QListWidgetItem* item = m_list->item(row);
    const bool shown = item->text().contains(words, Qt::CaseInsensitive);
    item->setHidden(!shown);
    if (shown && firstShown == nullptr) firstShown = item;
  }
  if (m_list->currentItem() == nullptr || m_list->currentItem()->isHidden()) m_list->setCurrentItem(firstShown);
}

LicenceDialog::LicenceDialog(const QString& fontName, const QString& heading, const QString& licence, bool warning,
                             QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("LicenceDialog"));
  setWindowTitle(fontName + QStringLiteral(" の使用許諾"));
  auto* icon = new QLabel(this);
  const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
  icon->setPixmap(
      style()
          ->standardIcon(warning ? QStyle::SP_MessageBoxWarning : QStyle::SP_MessageBoxInformation, nullptr, this)
          .pixmap(side, side));
  auto* head = new QLabel(heading, this);
  head->setTextFormat(Qt::PlainText);
  head->setWordWrap(true);
  auto* textLabel = new QLabel(QStringLiteral("フォントに書かれている使用許諾(&T):"), this);
  auto* text = new QPlainTextEdit(this);
  text->setObjectName(QStringLiteral("LicenceText"));
  text->setAccessibleName(QStringLiteral("使用許諾の文章"));
  text->setReadOnly(true);
  text->setPlainText(licence.isEmpty() ? QStringLiteral("（このフォントには使用許諾の文章が書かれていません。"
                                                        "フォントの配布元で確かめてください。）")
                                       : licence);
  textLabel->setBuddy(text);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* accept = buttons->addButton(QStringLiteral("了承(&A)"), QDialogButtonBox::AcceptRole);
  accept->setObjectName(QStringLiteral("LicenceAccept"));
  buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addWidget(head, 1);
  layout->addLayout(top);
  layout->addWidget(textLabel);
  layout->addWidget(text, 1);
  layout->addWidget(buttons);
  resize(560, 420);
  text->setFocus();
}

}  // namespace quillane
