#pragma once

#include <QColor>
#include <QIcon>

class QFileDialog;

/// Icons of Qt's file dialogs that suit the dialog's colour scheme. The icon theme draws its
/// monochrome glyphs (the tool bar's back, forward, up and view buttons, the side bar's home
/// and computer) dark: on a dark dialog they vanish. Here every monochrome icon of the dialog
/// is drawn in the dialog's text colour instead; coloured icons (folders, files) stay as they
/// are. GUI thread, except where noted.
namespace platform::dialogicons {

/// Inks `dialog`'s icons now and again whenever its palette changes (a dialog takes its
/// scheme when it is shown).
void follow(QFileDialog *dialog);

/// `icon`, its monochrome pixmaps drawn in `ink` (at 40 % for the disabled mode); coloured
/// pixmaps come back unchanged. The pixmaps are made when the icon is painted, so the icon may
/// be built on any thread.
[[nodiscard]] QIcon inked(const QIcon &icon, const QColor &ink);

} // namespace platform::dialogicons
