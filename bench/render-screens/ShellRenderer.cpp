// The shell's states for render-screens ("shell-"): the main window at both sizes with each
// menu open, the shared components in every state, and the gentle entrance and the hero
// flight at 0, 25, 50 and 100 %, each in the dark and the light scheme.

#include "RenderRegistry.h"
#include "ShellRenderSupport.h"
#include "app/shell/components/AppMark.h"
#include "app/shell/components/FavoriteStarButton.h"
#include "app/shell/components/FocusRingOverlay.h"
#include "app/shell/components/GentleAppear.h"
#include "app/shell/components/HeroNamespace.h"
#include "app/shell/components/HeroOverlay.h"
#include "app/shell/components/RollingDigitsLabel.h"
#include "app/shell/components/ShrinkingLabel.h"
#include "app/shell/components/StatPill.h"
#include "app/shell/components/WindowBackground.h"
#include "app/shell/screens/IdleStateView.h"
#include "app/shell/theme/Spinner.h"
#include "app/shell/theme/Theme.h"
#include "app/shell/theme/ThemedButton.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace renderscreens {
namespace {

using namespace lumora;
using shellrender::Scheme;

void renderButtons(RenderContext &ctx, Scheme scheme) {
  WindowBackground sheet;
  auto *grid = new QGridLayout(&sheet);
  grid->setContentsMargins(24, 24, 24, 24);
  grid->setSpacing(14);
  const ThemedButton::Style styles[] = {ThemedButton::Style::prominent,
                                        ThemedButton::Style::bordered, ThemedButton::Style::link};
  const ThemedButton::Size sizes[] = {ThemedButton::Size::small, ThemedButton::Size::regular,
                                      ThemedButton::Size::large};
  ThemedButton *focused = nullptr;
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      auto *button = new ThemedButton(QStringLiteral("选择文件夹…"), styles[row], sizes[col]);
      button->setSymbol(col == 2 ? QStringLiteral("folder.badge.plus") : QString());
      grid->addWidget(button, row, col, Qt::AlignLeft | Qt::AlignVCenter);
      focused = row == 1 && col == 1 ? button : focused;
    }
    auto *disabled = new ThemedButton(QStringLiteral("重新扫描"), styles[row]);
    disabled->setEnabled(false);
    grid->addWidget(disabled, row, 3, Qt::AlignLeft | Qt::AlignVCenter);
  }
  sheet.resize(620, 190);
  shellrender::prepare(sheet, scheme);
  focused->setFocus(Qt::TabFocusReason);
  ctx.save(shellrender::name("shell-buttons", scheme), sheet);
}

void renderStar(RenderContext &ctx, Scheme scheme, const QString &state) {
  WindowBackground sheet;
  sheet.resize(120, 80);
  auto *star = new FavoriteStarButton(state != QLatin1String("off"), &sheet);
  star->move(46, 26);
  shellrender::prepare(sheet, scheme);
  if (state == QLatin1String("pulse")) {
    star->setFavorite(false);
    star->setFavorite(true);
    shellrender::spinUntil([star] { return star->scale() > 1.2; });
  }
  ctx.save(shellrender::name("shell-star-" + state, scheme), sheet);
}

void renderFocusRing(RenderContext &ctx, Scheme scheme) {
  WindowBackground sheet;
  sheet.resize(380, 280);
  auto *tile = new shellrender::PhotoTile(shellrender::photo(ctx, 0, QSize(300, 200)), 16, &sheet);
  tile->setGeometry(40, 40, 300, 200);
  auto *ring = new FocusRingOverlay(16, &sheet);
  ring->placeOver(tile->geometry());
  shellrender::prepare(sheet, scheme);
  ctx.save(shellrender::name("shell-focusring", scheme), sheet);
}

void renderSmallViews(RenderContext &ctx, Scheme scheme) {
  WindowBackground sheet;
  auto *column = new QVBoxLayout(&sheet);
  column->setContentsMargins(24, 20, 24, 20);
  column->setSpacing(14);
  auto *pills = new QHBoxLayout;
  pills->setSpacing(8);
  pills->addWidget(new StatPill(QStringLiteral("photo.on.rectangle"), QStringLiteral("1,284"),
                                QStringLiteral("张照片")));
  pills->addWidget(new StatPill(QStringLiteral("square.stack.3d.up"), QStringLiteral("96"),
                                QStringLiteral("组")));
  auto *rolling =
      new StatPill(QStringLiteral("timer"), QStringLiteral("12"), QStringLiteral("ms/张"));
  pills->addWidget(rolling);
  pills->addStretch();
  column->addLayout(pills);
  column->addWidget(IdleStateView::makeFeatureList(&sheet));
  auto *marks = new QHBoxLayout;
  for (const int size : {20, 32, 36, 100}) {
    marks->addWidget(new AppMark(size), 0, Qt::AlignBottom);
  }
  marks->addWidget(new Spinner(16), 0, Qt::AlignBottom);
  marks->addWidget(new Spinner(28), 0, Qt::AlignBottom);
  marks->addStretch();
  column->addLayout(marks);
  auto *shrinking = new ShrinkingLabel(QStringLiteral("IMG_20240612_183015_BURST_0012_COVER.HEIC"));
  shrinking->setFont(Theme::font(13));
  shrinking->setFixedWidth(220);
  column->addWidget(shrinking);
  sheet.setFixedWidth(440);
  shellrender::prepare(sheet, scheme);
  rolling->setValue(QStringLiteral("13"));
  rolling->valueLabel()->setRollProgress(0.5);
  ctx.save(shellrender::name("shell-components", scheme), sheet);
}

void renderSymbols(RenderContext &ctx, Scheme scheme) {
  WindowBackground sheet;
  shellrender::fillSymbolGrid(sheet, scheme);
  shellrender::prepare(sheet, scheme);
  ctx.save(shellrender::name("shell-symbols", scheme), sheet);
}

void renderGentle(RenderContext &ctx, Scheme scheme, int percent) {
  WindowBackground host;
  host.resize(1150, 780);
  QWidget *screen = shellrender::photoScreen(ctx, &host);
  screen->setGeometry(host.rect());
  GentleAppear *gentle = GentleAppear::apply(screen);
  shellrender::prepare(host, scheme);
  gentle->setProgress(percent / 100.0);
  ctx.save(shellrender::name(QStringLiteral("shell-gentle-%1").arg(percent), scheme), host);
}

void renderHero(RenderContext &ctx, Scheme scheme, int percent) {
  WindowBackground host;
  host.resize(1150, 780);
  QWidget *screen = shellrender::photoScreen(ctx, &host);
  screen->setGeometry(host.rect());
  HeroNamespace hero(&host);
  shellrender::prepare(host, scheme);
  // The grid's first card flies to the detail's tile; the card itself has left with its screen.
  QWidget *card = screen->findChild<QWidget *>(QStringLiteral("tile0"));
  const QRect from = shellrender::firstTileRect(screen);
  const QRect to(175, 90, 800, 600);
  shellrender::PhotoTile detailTile(shellrender::photo(ctx, 0, to.size()), 16);
  detailTile.resize(to.size());
  lumora::HeroOverlay::Flight flight;
  flight.photo = shellrender::photo(ctx, 0, to.size()).toImage();
  flight.from = {from, from, {16, 16, 16, 16}, {}};
  flight.to = lumora::HeroOverlay::Side{to, to, {16, 16, 16, 16}, {}};
  hero.overlay()->hold(flight);
  card->hide();
  hero.overlay()->setProgress(percent / 100.0);
  ctx.save(shellrender::name(QStringLiteral("shell-hero-%1").arg(percent), scheme), host);
}

void renderShell(RenderContext &ctx) {
  for (const Scheme scheme : {Scheme::dark, Scheme::light}) {
    shellrender::renderWindows(ctx, scheme);
    renderButtons(ctx, scheme);
    for (const char *state : {"off", "on", "pulse"}) {
      renderStar(ctx, scheme, QString::fromLatin1(state));
    }
    renderFocusRing(ctx, scheme);
    renderSmallViews(ctx, scheme);
    renderSymbols(ctx, scheme);
    for (const int percent : {0, 25, 50, 100}) {
      renderGentle(ctx, scheme, percent);
      renderHero(ctx, scheme, percent);
    }
  }
}

RegisterRenderer registration{QStringLiteral("shell-"), &renderShell};

} // namespace
} // namespace renderscreens
