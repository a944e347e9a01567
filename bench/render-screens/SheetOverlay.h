#pragma once

#include <QImage>

class QWidget;

namespace renderscreens {

/// `window` with a window-modal box laid over its top centre, the window dimmed behind it and
/// the box framed as a window manager frames a sheet: what the user sees while the box is
/// open. Offscreen, the box is a window of its own, so it is composed here. Without a box,
/// the window alone.
[[nodiscard]] QImage withSheet(QWidget &window, QWidget *box);

} // namespace renderscreens
