#include "platform/qt_platform.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QUrl>

namespace quillane {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Message texts are built with CR LF; Qt wants plain line feeds.
QString messageText(std::string_view s) { return qs(s).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

}  // namespace

MessageAnswer QtPlatform::messageBox(std::string_view text, std::string_view title, MessageIcon icon,
                                     MessageButtons buttons) {
  QMessageBox box(m_owner);
  box.setWindowTitle(title.empty() ? qs(kApplicationTitle) : qs(title));
  box.setText(messageText(text));
  box.setIcon(icon == MessageIcon::Critical      ? QMessageBox::Critical
              : icon == MessageIcon::Exclamation ? QMessageBox::Warning
                                                 : QMessageBox::NoIcon);
  if (buttons == MessageButtons::OkCancel)
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
  else
    box.setStandardButtons(QMessageBox::Ok);
  return box.exec() == QMessageBox::Cancel ? MessageAnswer::Cancel : MessageAnswer::Ok;
}

std::string QtPlatform::prompt(std::string_view message, std::string_view title) {
  bool ok = false;
  const QString text =
      QInputDialog::getText(m_owner, qs(title), messageText(message), QLineEdit::Normal, QString(), &ok);
  return ok ? text.toStdString() : std::string();
}

QString QtPlatform::qtFilter(std::string_view filter) {
  const QStringList parts = qs(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype k = 0; k + 1 < parts.size(); k += 2)
    filters << parts[k] + QStringLiteral(" (") + QString(parts[k + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')) +
                   QLatin1Char(')');
  return filters.join(QStringLiteral(";;"));
}

std::optional<std::string> QtPlatform::fileDialog(FileDialogMode mode, std::string_view filter) {
  return showFileDialog(mode, filter, m_lastFileName);
}

std::optional<std::string> QtPlatform::fileDialogIn(FileDialogMode mode, std::string_view filter,
                                                    const std::string& folder) {
  return showFileDialog(mode, filter, QString::fromStdString(folder));
}

std::optional<std::string> QtPlatform::showFileDialog(FileDialogMode mode, std::string_view filter,
                                                      const QString& start) {
  const QString filters = qtFilter(filter);
  const QString chosen = mode == FileDialogMode::Open
                             ? QFileDialog::getOpenFileName(m_owner, QString(), start, filters)
                             : QFileDialog::getSaveFileName(m_owner, QString(), start, filters);
  if (chosen.isEmpty()) return std::nullopt;
  m_lastFileName = chosen;
  return chosen.toStdString();
}

std::optional<BgrColour> QtPlatform::colourDialog() {
  const QColor colour = QColorDialog::getColor(m_lastColour, m_owner);
  if (!colour.isValid()) return std::nullopt;
  m_lastColour = colour;
  return static_cast<BgrColour>(colour.red() | (colour.green() << 8) | (colour.blue() << 16));
}

std::optional<std::string> QtPlatform::chooseFolder() {
  const QString folder = QFileDialog::getExistingDirectory(m_owner, QStringLiteral("フォルダの選択"));
  if (folder.isEmpty()) return std::nullopt;
  return folder.toStdString();
}

void QtPlatform::shellOpen(std::string_view pathOrAddress) {
  const QString target = qs(pathOrAddress);
  const QUrl url = target.contains(QStringLiteral("://")) ? QUrl(target) : QUrl::fromLocalFile(target);
  QDesktopServices::openUrl(url);
}

void QtPlatform::processEvents() { QCoreApplication::processEvents(); }

}  // namespace quillane
