// Which text the editor's window shapes. The window's own captions are
// Japanese and ASCII: each character is one glyph in its place, so they are
// drawn without the shaper, which would cost more than the drawing (it reads
// the large layout tables of the CJK font, over a megabyte, and takes a
// fifth of the start-up's text work). What a user writes may be in any
// script: a box or a caption showing text that needs the shaper (joining
// scripts, marks placed on a base, emoji sequences) takes it back.
#pragma once

#include <QStringView>

class QFont;
class QLineEdit;
class QPlainTextEdit;
class QTabBar;
class QWidget;

namespace quillane {

// Whether `text` reads wrong without the shaper: "段落（<P>）", "Webフォント"
// and "#5A3A45" do not; "العربية", "हिन्दी", "e" + U+0301 and "葛" + U+E0100
// (a variation sequence) do. Scripts other than Latin, Greek, Cyrillic,
// Han, kana and the common marks count as needing it.
bool needsShaping(QStringView text);

// `font` drawn without the shaper: what the window sets on itself.
QFont unshapedFont(QFont font);

// Gives `widget` the shaper while `text`, which it shows, needs it, and
// takes it away again when the text no longer does.
void shapeAsNeeded(QWidget* widget, QStringView text);
// ... and a tab strip, as all its captions need.
void shapeAsNeeded(QTabBar* tabs);

// `font` with the shaper: what a list of a user's items (font names) takes.
QFont shapedFont(QFont font);

// Keeps a box for typing shaping as its text needs, whoever changes it.
void shapeAsTyped(QLineEdit* edit);
void shapeAsTyped(QPlainTextEdit* area);

}  // namespace quillane
