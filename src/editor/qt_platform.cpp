#include "editor/qt_platform.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QUrl>

#include "editor/font_dialogs.h"
#include "editor/installed_fonts.h"

namespace quillane {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Room in a title bar besides the title: the window's icon and its close,
// maximise and minimise buttons, with the window manager's margins.
constexpr int kTitleBarButtonsWidth = 160;

// Message texts are built with CR LF; Qt wants plain line feeds.
QString messageText(std::string_view s) { return qs(s).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

// The width a dialog needs for the window manager to show its whole title
// with the title bar's buttons; a narrower one has its title cut to "…".
int titleBarWidth(const QWidget& dialog) {
  QFont titleFont = dialog.font();
  titleFont.setBold(true);
  return QFontMetrics(titleFont).horizontalAdvance(dialog.windowTitle()) + kTitleBarButtonsWidth;
}

// A short message ("保存完了") makes a box narrower than its title. A message
// box sets its own size, so a spacer in its grid widens it.
void keepTitleWhole(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (grid == nullptr) return;
  grid->addItem(new QSpacerItem(titleBarWidth(box), 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0,
                1, grid->columnCount());
}

}  // namespace

QWidget* QtPlatform::dialogParent() const {
  QWidget* active = QApplication::activeWindow();
  return active != nullptr ? active : m_owner.data();
}

MessageAnswer QtPlatform::messageBox(std::string_view text, std::string_view title, MessageIcon icon,
                                     MessageButtons buttons) {
  QMessageBox box(dialogParent());
  box.setWindowTitle(title.empty() ? qs(kApplicationTitle) : qs(title));
  // Messages quote page text such as "<HEAD>": never read them as markup.
  box.setTextFormat(Qt::PlainText);
  box.setText(messageText(text));
  box.setIcon(icon == MessageIcon::Critical      ? QMessageBox::Critical
              : icon == MessageIcon::Exclamation ? QMessageBox::Warning
              : icon == MessageIcon::Information ? QMessageBox::Information
                                                 : QMessageBox::NoIcon);
  keepTitleWhole(box);
  if (buttons == MessageButtons::SaveDiscardCancel) {
    box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    // Qt's own words for these differ between its translations; these are
    // the program's, with access keys (Escape is the cancel's).
    box.button(QMessageBox::Save)->setText(QStringLiteral("保存(&S)"));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("保存しない(&N)"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
      case QMessageBox::Save:
        return MessageAnswer::Save;
      case QMessageBox::Discard:
        return MessageAnswer::Discard;
      default:
        return MessageAnswer::Cancel;
    }
  }
  if (buttons == MessageButtons::OkCancel)
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
  else
    box.setStandardButtons(QMessageBox::Ok);
  return box.exec() == QMessageBox::Cancel ? MessageAnswer::Cancel : MessageAnswer::Ok;
}

std::string QtPlatform::prompt(std::string_view message, std::string_view title) {
  QInputDialog dialog(dialogParent());
  dialog.setWindowTitle(qs(title));
  dialog.setLabelText(messageText(message));
  dialog.setTextValue(QString());
  // The dialog is laid out as it is shown; its question, as wide as the
  // title bar needs, widens it.
  for (QLabel* label : dialog.findChildren<QLabel*>()) {
    label->setTextFormat(Qt::PlainText);
    label->setMinimumWidth(titleBarWidth(dialog));
  }
  return dialog.exec() == QDialog::Accepted ? dialog.textValue().toStdString() : std::string();
}

QString QtPlatform::qtFilter(std::string_view filter) {
  const QStringList parts = qs(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype k = 0; k + 1 < parts.size(); k += 2) {
    QStringList patterns = parts[k + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& pattern : patterns)
      if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
    const QString list = patterns.join(QLatin1Char(' '));
    // A label that already ends in its patterns, however they are
    // separated, shows them once, in the form the dialog reads.
    QString label = parts[k];
    const qsizetype open = label.lastIndexOf(QLatin1Char('('));
    if (open >= 0 && label.endsWith(QLatin1Char(')'))) {
      QStringList shown =
          label.mid(open + 1, label.size() - open - 2).split(QRegularExpression(QStringLiteral("[,; ]+")));
      if (shown == parts[k + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        filters << label.left(open) + QLatin1Char('(') + list + QLatin1Char(')');
        continue;
      }
    }
    filters << label + QStringLiteral(" (") + list + QLatin1Char(')');
  }
  return filters.join(QStringLiteral(";;"));
}

std::optional<std::string> QtPlatform::fileDialog(FileDialogMode mode, std::string_view filter) {
  QWidget* parent = dialogParent();
  QString& lastName = m_lastFileNames[parent != nullptr ? parent->window()->objectName() : QString()];
  const auto chosen = showFileDialog(mode, filter, lastName);
  if (chosen) lastName = QString::fromStdString(*chosen);
  return chosen;
}

std::optional<std::string> QtPlatform::fileDialogIn(FileDialogMode mode, std::string_view filter,
                                                    const std::string& folder) {
  return showFileDialog(mode, filter, QString::fromStdString(folder));
}

std::optional<std::string> QtPlatform::showFileDialog(FileDialogMode mode, std::string_view filter,
                                                      const QString& start) {
  QWidget* parent = dialogParent();
  const QString filters = qtFilter(filter);
  const QString chosen = mode == FileDialogMode::Open ? QFileDialog::getOpenFileName(parent, QString(), start, filters)
                                                      : QFileDialog::getSaveFileName(parent, QString(), start, filters);
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.toStdString();
}

std::optional<BgrColour> QtPlatform::colourDialog(std::optional<BgrColour> start) {
  const QColor initial = start ? QColor(redOf(*start), greenOf(*start), blueOf(*start)) : m_lastColour;
  const QColor colour = QColorDialog::getColor(initial, dialogParent());
  if (!colour.isValid()) return std::nullopt;
  m_lastColour = colour;
  return static_cast<BgrColour>(colour.red() | (colour.green() << 8) | (colour.blue() << 16));
}

std::optional<std::string> QtPlatform::chooseFolder() {
  const QString folder = QFileDialog::getExistingDirectory(dialogParent(), QStringLiteral("フォルダの選択"));
  if (folder.isEmpty()) return std::nullopt;
  return folder.toStdString();
}

std::optional<FontChoice> QtPlatform::chooseFont(std::string_view family) {
  FontChooser chooser(
      installedFaces(), qs(family),
      [this] {
        return fileDialog(FileDialogMode::Open,
                          "フォントファイル(*.ttf,*.otf,*.ttc,*.otc)|*.ttf;*.otf;*.ttc;*.otc;*.TTF;*.OTF;*.TTC;*.OTC|"
                          "全てのファイル|*.*");
      },
      dialogParent());
  if (chooser.exec() != QDialog::Accepted) return std::nullopt;
  return chooser.choice();
}

bool QtPlatform::acceptLicence(std::string_view fontName, std::string_view heading, std::string_view licence,
                               MessageIcon icon) {
  LicenceDialog dialog(qs(fontName), qs(heading), qs(licence), icon == MessageIcon::Exclamation, dialogParent());
  return dialog.exec() == QDialog::Accepted;
}

void QtPlatform::shellOpen(std::string_view pathOrAddress) {
  const QString target = qs(pathOrAddress);
  const QUrl url = target.contains(QStringLiteral("://")) ? QUrl(target) : QUrl::fromLocalFile(target);
  QDesktopServices::openUrl(url);
}

void QtPlatform::processEvents() { QCoreApplication::processEvents(); }

}  // namespace quillane
