// Favourites, keyboard focus of the results grid, detail and preview navigation, and the
// privacy-settings links.
#include "app/store/AppStore.h"
#include "app/store/texts/Localized.h"

#include <QPointer>
#include <algorithm>

namespace lumora {

void AppStore::toggleFavorite(const PhotoItem &item, FavoriteHandler done) {
  const bool old = item.isFavorite;
  std::shared_ptr<EngineClient> engine = m_engine;
  m_relay.run(
      [engine, item, old] { return engine->setFavorite(item, !old); },
      [this, id = item.id, old, done](Expected<bool, EngineCallError> outcome) {
        bool state = old;
        if (outcome) {
          state = *outcome;
          applyFavorite(id, state);
        } else {
          logDiagnosticError(QStringLiteral("ui"), outcome.error(),
                             QStringLiteral("setFavorite failed"));
          // The advice names the library's access for every source: a folder
          // photo's failure is rare, and the hint does no harm there.
          setAlert(AlertContent{QUuid::createUuid(), localized::string("收藏没能保存"),
                                outcome.error().localizedDescription() + QStringLiteral("\n\n") +
                                    localized::string("图库来源需要「照片」App 的完整访问权限。"),
                                false, false, localized::string("重试"), m_sourceKind});
        }
        if (done) {
          done(state);
        }
      });
}

void AppStore::applyFavorite(const std::string &itemID, bool favorite) {
  std::vector<PhotoItem> items = m_items;
  const auto found = std::find_if(items.begin(), items.end(),
                                  [&itemID](const PhotoItem &item) { return item.id == itemID; });
  if (found != items.end()) {
    *found = found->withFavorite(favorite);
  }
  setItems(std::move(items));
  std::vector<PhotoGroup> groups;
  groups.reserve(m_groups.size());
  for (const PhotoGroup &group : m_groups) {
    const bool holds = std::any_of(group.items.begin(), group.items.end(),
                                   [&itemID](const PhotoItem &item) { return item.id == itemID; });
    if (!holds) {
      groups.push_back(group);
      continue;
    }
    std::vector<PhotoItem> members = group.items;
    for (PhotoItem &member : members) {
      if (member.id == itemID) {
        member = member.withFavorite(favorite);
      }
    }
    groups.emplace_back(group.id, std::move(members));
  }
  setGroups(std::move(groups));
}

void AppStore::focusFirstGroup() { m_selection.focusFirst(m_groups); }

void AppStore::focusLastGroup() { m_selection.focusLast(m_groups); }

void AppStore::focusPage(int columns, int rows) { m_selection.focusPage(m_groups, columns, rows); }

void AppStore::focusStep(int rowDelta, int columnDelta, int columns) {
  m_selection.focusStep(m_groups, rowDelta, columnDelta, columns);
}

void AppStore::openDetail(const PhotoGroup &group) {
  setDetailGroupID(group.id);
  setFocusedPhotoID(group.items.empty() ? std::nullopt : std::optional(group.items.front().id));
}

void AppStore::openPreview(const PhotoGroup &group, const std::string &itemID) {
  const auto found = std::find_if(group.items.begin(), group.items.end(),
                                  [&itemID](const PhotoItem &item) { return item.id == itemID; });
  if (found == group.items.end()) {
    return;
  }
  setPreviewContext(
      PreviewContext{QUuid::createUuid(), group.id, std::distance(group.items.begin(), found)});
}

void AppStore::previewStep(std::int64_t delta) {
  if (!m_previewContext) {
    return;
  }
  const std::optional<PhotoGroup> shown = group(m_previewContext->groupID);
  if (!shown || shown->count() < 2) {
    return;
  }
  const std::int64_t count = shown->count();
  // Reduce the delta first so the sum cannot overflow whatever the caller passes.
  const std::int64_t index =
      ((m_previewContext->index % count + delta % count) % count + count) % count;
  PreviewContext moved = *m_previewContext;
  moved.index = index;
  setPreviewContext(std::move(moved));
}

void AppStore::requestDisplayName(const PhotoItem &item, QObject *context, NameHandler done) {
  std::shared_ptr<EngineClient> engine = m_engine;
  m_relay.run([engine, item] { return engine->displayName(item); },
              [guard = QPointer<QObject>(context), done](const QString &name) {
                if (guard && done) {
                  done(name);
                }
              });
}

void AppStore::openSettings(const QStringList &anchors, const QString &fallback) {
  if (!m_services.openSettingsTarget) {
    return;
  }
  for (const QString &anchor : anchors) {
    if (!anchor.isEmpty() && m_services.openSettingsTarget(anchor)) {
      return;
    }
  }
  if (!fallback.isEmpty()) {
    static_cast<void>(m_services.openSettingsTarget(fallback));
  }
}

QStringList AppStore::settingsAnchors(SourceKind source) {
  const char *first = source == SourceKind::library ? kPhotosAnchor : kFilesAndFoldersAnchor;
  return {QString::fromLatin1(first), QString::fromLatin1(kAllFilesAnchor)};
}

void AppStore::openPrivacySettings(SourceKind source) {
  openSettings(settingsAnchors(source), QString::fromLatin1(kSecurityFallback));
}

} // namespace lumora
