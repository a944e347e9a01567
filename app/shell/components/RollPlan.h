#pragma once

#include <QList>
#include <QString>

/// How a one-line text rolls from its old form to its new one: every character the two
/// share glides whole from its old place to its new one, and only the characters that
/// change roll. The texts are compared as runs of digits (with their decimal and grouping
/// marks) and single other characters, so "157 组 · 可释放 1.29 GB" becoming
/// "152 组 · 可释放 1.10 GB" rolls "7" and "29" alone; within a number that changes, its
/// shared leading and trailing digits glide too.
namespace lumora::rollplan {

struct Plan {
  /// Pairs of (old index, new index) of the characters that glide.
  QList<std::pair<qsizetype, qsizetype>> glides;
  /// The old characters that roll out and the new ones that roll in.
  QList<qsizetype> out;
  QList<qsizetype> in;
};

[[nodiscard]] Plan plan(const QString &before, const QString &after);

} // namespace lumora::rollplan
