#include "app/shell/components/RollPlan.h"

#include <vector>

namespace lumora::rollplan {
namespace {

struct Token {
  qsizetype start = 0;
  qsizetype length = 0;
  bool number = false;
};

bool isNumberChar(QChar c) { return c.isDigit() || c == u'.' || c == u','; }

std::vector<Token> tokens(const QString &text) {
  std::vector<Token> result;
  for (qsizetype i = 0; i < text.size();) {
    qsizetype end = i + 1;
    const bool number = text.at(i).isDigit();
    while (number && end < text.size() && isNumberChar(text.at(end))) {
      ++end;
    }
    result.push_back({i, end - i, number});
    i = end;
  }
  return result;
}

QStringView view(const QString &text, const Token &t) {
  return QStringView(text).mid(t.start, t.length);
}

// Two numbers in the same place: their shared leading and trailing characters glide.
void substitute(const QString &a, const Token &ta, const QString &b, const Token &tb, Plan &plan) {
  qsizetype prefix = 0;
  while (prefix < ta.length && prefix < tb.length &&
         a.at(ta.start + prefix) == b.at(tb.start + prefix)) {
    ++prefix;
  }
  qsizetype suffix = 0;
  while (suffix < ta.length - prefix && suffix < tb.length - prefix &&
         a.at(ta.start + ta.length - 1 - suffix) == b.at(tb.start + tb.length - 1 - suffix)) {
    ++suffix;
  }
  for (qsizetype k = 0; k < prefix; ++k) {
    plan.glides.append({ta.start + k, tb.start + k});
  }
  for (qsizetype k = 0; k < suffix; ++k) {
    plan.glides.append({ta.start + ta.length - suffix + k, tb.start + tb.length - suffix + k});
  }
  for (qsizetype k = ta.start + prefix; k < ta.start + ta.length - suffix; ++k) {
    plan.out.append(k);
  }
  for (qsizetype k = tb.start + prefix; k < tb.start + tb.length - suffix; ++k) {
    plan.in.append(k);
  }
}

} // namespace

Plan plan(const QString &before, const QString &after) {
  const std::vector<Token> a = tokens(before);
  const std::vector<Token> b = tokens(after);
  // The longest common subsequence of tokens, by the usual table.
  std::vector<std::vector<int>> table(a.size() + 1, std::vector<int>(b.size() + 1, 0));
  for (std::size_t i = a.size(); i-- > 0;) {
    for (std::size_t j = b.size(); j-- > 0;) {
      table[i][j] = view(before, a[i]) == view(after, b[j])
                        ? table[i + 1][j + 1] + 1
                        : std::max(table[i + 1][j], table[i][j + 1]);
    }
  }
  Plan result;
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() || j < b.size()) {
    if (i < a.size() && j < b.size() && view(before, a[i]) == view(after, b[j])) {
      for (qsizetype k = 0; k < a[i].length; ++k) {
        result.glides.append({a[i].start + k, b[j].start + k});
      }
      ++i;
      ++j;
    } else if (i < a.size() && j < b.size() && a[i].number && b[j].number &&
               table[i + 1][j + 1] == table[i][j]) {
      substitute(before, a[i], after, b[j], result);
      ++i;
      ++j;
    } else if (j >= b.size() || (i < a.size() && table[i + 1][j] >= table[i][j + 1])) {
      for (qsizetype k = 0; k < a[i].length; ++k) {
        result.out.append(a[i].start + k);
      }
      ++i;
    } else {
      for (qsizetype k = 0; k < b[j].length; ++k) {
        result.in.append(b[j].start + k);
      }
      ++j;
    }
  }
  return result;
}

} // namespace lumora::rollplan
