#pragma once

#include "app/store/AppStore.h"

class QWidget;

/// The UI self-test's checks of one real group card in an invisible window: a synthetic
/// press is recorded by the store, the click opens the group's detail and the release
/// clears the pressed state; and the card can be built and drawn once more.
namespace lumora::cardtapcheck {

/// Throws `SelfTestFailure`; `reduceMotion` only adds "（Reduce Motion）" to the texts.
void verify(AppStore &store, const PhotoGroup &group, bool reduceMotion);
/// Builds the same host in a second window, hides it and draws it once; checks nothing.
void verifyBuild(AppStore &store, const PhotoGroup &group);

/// The card over a spacer, 420 × 640, as both checks host it.
[[nodiscard]] QWidget *makeHost(AppStore &store, const PhotoGroup &group);

} // namespace lumora::cardtapcheck
