#include "app/results/CardPool.h"

#include "app/results/GroupCard.h"
#include "engine/model/PhotoGroup.h"

#include <algorithm>

namespace lumora {

CardPool::CardPool(AppStore &store, HeroNamespace *hero, QWidget *parent)
    : m_store(store), m_hero(hero), m_parent(parent) {}

// A card that showed this group before keeps its photos: a grid emptied and refilled (a
// rescan) shows them again at once instead of asking the loader for them.
GroupCard *CardPool::takeCard(const std::string &groupID) {
  const auto same = std::find_if(m_free.begin(), m_free.end(), [&groupID](const GroupCard *c) {
    return c->group().id == groupID;
  });
  if (same != m_free.end()) {
    GroupCard *card = *same;
    m_free.erase(same);
    return card;
  }
  if (!m_free.empty()) {
    GroupCard *card = m_free.back();
    m_free.pop_back();
    return card;
  }
  auto *card = new GroupCard(m_store, m_hero, m_parent);
  m_all.push_back(card);
  return card;
}

void CardPool::place(const std::vector<Slot> &wanted) {
  std::unordered_map<std::string, GroupCard *> next;
  next.reserve(wanted.size());
  // First keep the cards whose group stays, so only the others are re-pointed.
  std::vector<const Slot *> unplaced;
  for (const Slot &slot : wanted) {
    const auto found = m_live.find(slot.group->id);
    if (found == m_live.end() || next.contains(slot.group->id)) {
      unplaced.push_back(&slot);
      continue;
    }
    GroupCard *card = found->second;
    m_live.erase(found);
    // Re-pointing refreshes everything the card shows: only when its group really changed.
    if (card->entryIndex() != slot.entryIndex || !(card->group() == *slot.group)) {
      card->setGroup(*slot.group, slot.entryIndex);
    }
    card->setCellGeometry(slot.rect);
    next.emplace(slot.group->id, card);
  }
  for (auto &[id, card] : m_live) {
    card->hide();
    m_free.push_back(card);
  }
  for (const Slot *slot : unplaced) {
    if (next.contains(slot->group->id)) {
      continue; // one card per group, even if a group were listed twice
    }
    GroupCard *card = takeCard(slot->group->id);
    card->setGroup(*slot->group, slot->entryIndex);
    card->setCellGeometry(slot->rect);
    card->show();
    next.emplace(slot->group->id, card);
  }
  m_live = std::move(next);
}

GroupCard *CardPool::cardFor(const std::string &groupID) const {
  const auto found = m_live.find(groupID);
  return found == m_live.end() ? nullptr : found->second;
}

std::vector<GroupCard *> CardPool::liveCards() const {
  std::vector<GroupCard *> cards;
  cards.reserve(m_live.size());
  for (const auto &[id, card] : m_live) {
    cards.push_back(card);
  }
  return cards;
}

} // namespace lumora
