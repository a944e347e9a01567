#include "app/results/MonthSection.h"

#include "engine/model/PhotoGroup.h"

#include "app/store/texts/MonthKey.h"

#include <QHash>

namespace lumora {

std::vector<MonthSection> MonthSection::make(const std::vector<PhotoGroup> &groups) {
  std::vector<MonthSection> sections;
  QHash<QString, std::size_t> indexOfKey;
  for (std::size_t i = 0; i < groups.size(); ++i) {
    const Date date = groups[i].date();
    QString key = MonthKey::key(date);
    auto found = indexOfKey.constFind(key);
    if (found == indexOfKey.constEnd()) {
      found = indexOfKey.insert(key, sections.size());
      // The title is made only once per month: formatting is the costly part.
      sections.push_back({std::move(key), MonthKey::title(date), {}});
    }
    sections[*found].groups.push_back(i);
  }
  return sections;
}

} // namespace lumora
