#include "editor/import_report_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "editor/window_keys.h"

namespace quillane {

ImportReportDialog::ImportReportDialog(const QString& fileName, const ImportResult& result, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("ImportReport"));
  setWindowTitle(QStringLiteral("取り込みの結果"));
  setAttribute(Qt::WA_DeleteOnClose);
  const auto form = static_cast<qulonglong>(result.count(ImportEntry::Place::Form));
  const auto kept = static_cast<qulonglong>(result.count(ImportEntry::Place::Kept));
  QString summary = QStringLiteral("%1 を取り込みました。\nフォームへ %2 件、「そのほかのスタイル」へ %3 件。")
                        .arg(fileName)
                        .arg(form)
                        .arg(kept);
  summary += result.legacy ? QStringLiteral("\nこのプログラムが書き出したスタイルシートとして読みました。")
                           : QStringLiteral("\n「今のブラウザ向けに書き出す」を選びました。");
  auto* label = new QLabel(summary, this);
  label->setWordWrap(true);
  auto* lines = new QPlainTextEdit(this);
  lines->setObjectName(QStringLiteral("ImportReportLines"));
  lines->setReadOnly(true);
  lines->setLineWrapMode(QPlainTextEdit::NoWrap);
  lines->setPlainText(QString::fromStdString(result.report()));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  // Closed, the report gives the keyboard back to the editor.
  connect(this, &QDialog::finished, this, [parent] { activateSoon(parent); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addWidget(lines);
  layout->addWidget(buttons);
  resize(640, 400);
}

}  // namespace quillane
