// Simple colouring of the text "出力する" writes: HTML tags, CSS selectors,
// property names, strings and comments. Line by line, with nothing carried
// across lines but CSS comments, which is all the generated pages and style
// sheets need. The colours are made from the view's palette, readable on its
// base in light and dark themes, and follow it when the theme changes.
#pragma once

#include <QRegularExpression>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <array>
#include <vector>

class QPlainTextEdit;

namespace quillane {

class OutputHighlighter : public QSyntaxHighlighter {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(OutputHighlighter)

 public:
  // Colours the text of `view`, which owns the highlighter.
  explicit OutputHighlighter(QPlainTextEdit* view);

  // The kinds of text it tells apart, for tests and for the colours.
  enum class Kind { Tag, Selector, Property, String, Comment };
  static constexpr int kKindCount = 5;
  // The colour of a kind on the base of `palette`: its hue, made readable.
  static QColor colourOf(Kind kind, const QPalette& palette);

 protected:
  void highlightBlock(const QString& text) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void takeColours();

  struct Rule {
    QRegularExpression pattern;
    Kind kind;
  };
  QPlainTextEdit* m_view;
  std::vector<Rule> m_rules;
  std::array<QTextCharFormat, kKindCount> m_formats;
};

}  // namespace quillane
