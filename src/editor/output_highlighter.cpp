#include "editor/output_highlighter.h"

#include <QEvent>
#include <QPlainTextEdit>

#include "editor/readable_colours.h"

namespace quillane {

namespace {

// The block state of a line that ends inside a CSS comment.
constexpr int kInCssComment = 1;

}  // namespace

OutputHighlighter::OutputHighlighter(QPlainTextEdit* view) : QSyntaxHighlighter(view->document()), m_view(view) {
  takeColours();
  view->installEventFilter(this);
  // Later rules paint over earlier ones.
  m_rules = {
      // "P {", "a:hover, a.q-hover {", "::-webkit-scrollbar-thumb,", "@keyframes x {"
      {QRegularExpression(QStringLiteral(R"(^\s*[^\s{}:;<>"][^{};<>"]*(?=\s*[{,]\s*$))")), Kind::Selector},
      // "  color : #FF0000;", "  Filter:": declarations are indented, selectors are not
      {QRegularExpression(QStringLiteral(R"(^\s+[-A-Za-z]+(?=\s*:))")), Kind::Property},
      {QRegularExpression(QStringLiteral(R"(</?[A-Za-z!][^>]*>)")), Kind::Tag},
      {QRegularExpression(QStringLiteral(R"("[^"\n]*")")), Kind::String},
  };
}

QColor OutputHighlighter::colourOf(Kind kind, const QPalette& palette) {
  // The hues as they are on a white base, where each already reads.
  QColor hue;
  switch (kind) {
    case Kind::Tag:
      hue = QColor(0x00, 0x40, 0xA0);
      break;
    case Kind::Selector:
      hue = QColor(0x80, 0x00, 0x40);
      break;
    case Kind::Property:
      hue = QColor(0x00, 0x60, 0x80);
      break;
    case Kind::String:
      hue = QColor(0xA0, 0x50, 0x00);
      break;
    case Kind::Comment:
      hue = QColor(0x40, 0x80, 0x40);
      break;
  }
  return readableOn(hue, palette.color(QPalette::Base));
}

void OutputHighlighter::takeColours() {
  for (int k = 0; k < kKindCount; ++k) {
    const auto kind = static_cast<Kind>(k);
    QTextCharFormat& format = m_formats[static_cast<std::size_t>(k)];
    format.setForeground(colourOf(kind, m_view->palette()));
    if (kind == Kind::Selector) format.setFontWeight(QFont::Bold);
    if (kind == Kind::Comment) format.setFontItalic(true);
  }
}

bool OutputHighlighter::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_view && event->type() == QEvent::PaletteChange) {
    takeColours();
    rehighlight();
  }
  return QSyntaxHighlighter::eventFilter(watched, event);
}

void OutputHighlighter::highlightBlock(const QString& text) {
  for (const Rule& rule : m_rules) {
    const QTextCharFormat& format = m_formats[static_cast<std::size_t>(rule.kind)];
    for (auto it = rule.pattern.globalMatch(text); it.hasNext();) {
      const QRegularExpressionMatch match = it.next();
      setFormat(static_cast<int>(match.capturedStart()), static_cast<int>(match.capturedLength()), format);
    }
  }
  // CSS comments last, over everything, carried from line to line. The
  // "<!--" and "-->" around a legacy style block are not comments there.
  const QTextCharFormat& comment = m_formats[static_cast<std::size_t>(Kind::Comment)];
  setCurrentBlockState(0);
  bool open = previousBlockState() == kInCssComment;
  qsizetype start = open ? 0 : text.indexOf(QStringLiteral("/*"));
  while (start >= 0) {
    const qsizetype end = text.indexOf(QStringLiteral("*/"), open ? start : start + 2);
    open = false;
    if (end < 0) {
      setFormat(static_cast<int>(start), static_cast<int>(text.size() - start), comment);
      setCurrentBlockState(kInCssComment);
      return;
    }
    setFormat(static_cast<int>(start), static_cast<int>(end + 2 - start), comment);
    start = text.indexOf(QStringLiteral("/*"), end + 2);
  }
}

}  // namespace quillane
