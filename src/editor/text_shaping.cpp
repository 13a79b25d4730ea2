#include "editor/text_shaping.h"

#include <QFont>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabBar>

namespace quillane {

namespace {

bool drawnAsItStands(char32_t c) {
  switch (QChar::category(c)) {
    case QChar::Mark_NonSpacing:        // accents, variation selectors
    case QChar::Mark_SpacingCombining:  // vowel signs
    case QChar::Mark_Enclosing:         // keycaps
    case QChar::Other_Format:           // joiners, emoji tags
      return false;
    default:
      break;
  }
  // Flags and skin tones join the emoji before them.
  if ((c >= 0x1F1E6 && c <= 0x1F1FF) || (c >= 0x1F3FB && c <= 0x1F3FF)) return false;
  switch (QChar::script(c)) {
    case QChar::Script_Common:
    case QChar::Script_Latin:
    case QChar::Script_Greek:
    case QChar::Script_Cyrillic:
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
      return true;
    default:
      return false;
  }
}

QFont withShaping(QFont font, bool shaped) {
  const auto strategy = font.styleStrategy();
  font.setStyleStrategy(shaped ? QFont::StyleStrategy(strategy & ~QFont::PreferNoShaping)
                               : QFont::StyleStrategy(strategy | QFont::PreferNoShaping));
  return font;
}

}  // namespace

bool needsShaping(QStringView text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    char32_t c = text[i].unicode();
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      c = QChar::surrogateToUcs4(text[i], text[i + 1]);
      ++i;
    }
    if (!drawnAsItStands(c)) return true;
  }
  return false;
}

QFont unshapedFont(QFont font) { return withShaping(std::move(font), false); }

QFont shapedFont(QFont font) { return withShaping(std::move(font), true); }

void shapeAsNeeded(QWidget* widget, QStringView text) {
  const bool shaped = (widget->font().styleStrategy() & QFont::PreferNoShaping) == 0;
  const bool needed = needsShaping(text);
  if (shaped != needed) widget->setFont(withShaping(widget->font(), needed));
}

void shapeAsNeeded(QTabBar* tabs) {
  QString captions;
  for (int i = 0; i < tabs->count(); ++i) captions += tabs->tabText(i);
  shapeAsNeeded(tabs, captions);
}

void shapeAsTyped(QLineEdit* edit) {
  QObject::connect(edit, &QLineEdit::textChanged, edit, [edit](const QString& text) { shapeAsNeeded(edit, text); });
  shapeAsNeeded(edit, edit->text());
}

void shapeAsTyped(QPlainTextEdit* area) {
  // A report or a kept style sheet is read once per change, in one pass.
  const auto follow = [area] { shapeAsNeeded(area, area->document()->toRawText()); };
  QObject::connect(area, &QPlainTextEdit::textChanged, area, follow);
  follow();
}

}  // namespace quillane
