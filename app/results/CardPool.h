#pragma once

#include <QRect>
#include <string>
#include <unordered_map>
#include <vector>

class QWidget;

namespace lumora {

class AppStore;
class GroupCard;
class HeroNamespace;
struct PhotoGroup;

/// The group cards that exist right now: one per group placed in or near the view, taken
/// from a pool of reusable cards and re-pointed at other groups as the grid scrolls. A
/// card keeps its group while that group stays placed, so its thumbnail and state survive
/// scrolling and regrouping; a card that leaves is hidden and waits for its next group,
/// which is the same group when it comes back.
/// GUI thread.
class CardPool {
public:
  /// One card to show: its group, entrance position and cell in the parent.
  struct Slot {
    const PhotoGroup *group = nullptr;
    int entryIndex = 0;
    QRect rect;
  };

  /// Cards are made as children of `parent`, with the hero namespace (may be null).
  CardPool(AppStore &store, HeroNamespace *hero, QWidget *parent);

  /// Shows exactly these cards; the others go back to the pool.
  void place(const std::vector<Slot> &wanted);
  /// The card showing the group, or null.
  [[nodiscard]] GroupCard *cardFor(const std::string &groupID) const;
  [[nodiscard]] std::size_t liveCount() const { return m_live.size(); }
  [[nodiscard]] std::size_t poolSize() const { return m_all.size(); }
  [[nodiscard]] std::vector<GroupCard *> liveCards() const;

private:
  GroupCard *takeCard(const std::string &groupID);

  AppStore &m_store;
  HeroNamespace *m_hero;
  QWidget *m_parent;
  std::unordered_map<std::string, GroupCard *> m_live;
  std::vector<GroupCard *> m_free;
  std::vector<GroupCard *> m_all;
};

} // namespace lumora
