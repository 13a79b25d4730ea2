// Simple colouring of the text "出力する" writes: HTML tags, CSS selectors,
// property names, strings and comments. Line by line, with nothing carried
// across lines but CSS comments, which is all the generated pages and style
// sheets need.
#pragma once

#include <QRegularExpression>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <vector>

namespace quillane {

class OutputHighlighter : public QSyntaxHighlighter {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(OutputHighlighter)

 public:
  // Colours `document`, which must outlive the highlighter or own it.
  explicit OutputHighlighter(QTextDocument* document);

  // The kinds of text it tells apart, for tests and for the colours.
  enum class Kind { Tag, Selector, Property, String, Comment };
  static QColor colourOf(Kind kind);

 protected:
  void highlightBlock(const QString& text) override;

 private:
  struct Rule {
    QRegularExpression pattern;
    Kind kind;
  };
  std::vector<Rule> m_rules;
};

}  // namespace quillane
