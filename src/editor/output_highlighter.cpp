#include "editor/output_highlighter.h"

namespace quillane {

namespace {

// The block state of a line that ends inside a CSS comment.
constexpr int kInCssComment = 1;

QTextCharFormat formatOf(OutputHighlighter::Kind kind) {
  QTextCharFormat format;
  format.setForeground(OutputHighlighter::colourOf(kind));
  if (kind == OutputHighlighter::Kind::Selector) format.setFontWeight(QFont::Bold);
  if (kind == OutputHighlighter::Kind::Comment) format.setFontItalic(true);
  return format;
}

}  // namespace

OutputHighlighter::OutputHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
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

QColor OutputHighlighter::colourOf(Kind kind) {
  switch (kind) {
    case Kind::Tag:
      return QColor(0x00, 0x40, 0xA0);
    case Kind::Selector:
      return QColor(0x80, 0x00, 0x40);
    case Kind::Property:
      return QColor(0x00, 0x60, 0x80);
    case Kind::String:
      return QColor(0xA0, 0x50, 0x00);
    case Kind::Comment:
      return QColor(0x40, 0x80, 0x40);
  }
  return {};
}

void OutputHighlighter::highlightBlock(const QString& text) {
  for (const Rule& rule : m_rules) {
    const QTextCharFormat format = formatOf(rule.kind);
    for (auto it = rule.pattern.globalMatch(text); it.hasNext();) {
      const QRegularExpressionMatch match = it.next();
      setFormat(static_cast<int>(match.capturedStart()), static_cast<int>(match.capturedLength()), format);
    }
  }
  // CSS comments last, over everything, carried from line to line. The
  // "<!--" and "-->" around a legacy style block are not comments there.
  const QTextCharFormat comment = formatOf(Kind::Comment);
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
