#pragma once

#include <QRect>
#include <QWidget>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace lumora {

struct PhotoGroup;

/// The group cards that exist right now: one per group placed in or near the view, taken
/// from a pool of reusable widgets and re-pointed at other groups as the grid scrolls. A
/// card keeps its group while that group stays placed, so its thumbnail and state survive
/// scrolling and regrouping; a card that leaves is hidden and waits for its next group.
/// GUI thread.
class CardPool {
public:
  /// How cards are made and pointed at a group (the group and its position for the
  /// entrance stagger).
  struct Factory {
    std::function<QWidget *(QWidget *parent)> create;
    std::function<void(QWidget *card, const PhotoGroup &group, int entryIndex)> bind;
  };
  /// One card to show: its group, entrance position and rectangle in the parent.
  struct Slot {
    const PhotoGroup *group = nullptr;
    int entryIndex = 0;
    QRect rect;
  };

  CardPool(Factory factory, QWidget *parent);

  /// Shows exactly these cards; the others go back to the pool.
  void place(const std::vector<Slot> &wanted);
  /// The card showing the group, or null.
  [[nodiscard]] QWidget *cardFor(const std::string &groupID) const;
  [[nodiscard]] std::size_t liveCount() const { return m_live.size(); }
  [[nodiscard]] std::size_t poolSize() const { return m_all.size(); }
  /// Every live card, for the pinned header and overlays to stay above them.
  [[nodiscard]] std::vector<QWidget *> liveCards() const;

private:
  QWidget *takeCard();

  Factory m_factory;
  QWidget *m_parent;
  std::unordered_map<std::string, QWidget *> m_live;
  std::vector<QWidget *> m_free;
  std::vector<QWidget *> m_all;
};

} // namespace lumora
