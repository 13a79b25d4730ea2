// The report of an import: what went into the form and what was kept as
// text, with the line of the file each came from. Shown without blocking,
// so the editor can be looked at beside it.
#pragma once

#include <QDialog>

#include "importing/style_import.h"

namespace quillane {

class ImportReportDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(ImportReportDialog)

 public:
  ImportReportDialog(const QString& fileName, const ImportResult& result, QWidget* parent = nullptr);
};

}  // namespace quillane
