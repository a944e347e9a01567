#include "app/results/MonthIndexRail.h"
#include "app/store/texts/Localized.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using lumora::MonthIndexRail;

TEST(MonthIndexRail, entriesSpreadEvenlyKeepingFirstAndLast) {
  using V = std::vector<std::size_t>;
  EXPECT_EQ(MonthIndexRail::railEntries(0, 6), V{});
  EXPECT_EQ(MonthIndexRail::railEntries(1, 6), V{0});
  EXPECT_EQ(MonthIndexRail::railEntries(6, 6), (V{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(MonthIndexRail::railEntries(7, 6), (V{0, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(MonthIndexRail::railEntries(20, 6), (V{0, 3, 6, 10, 13, 16, 19}));
  EXPECT_EQ(MonthIndexRail::maxCountFor(100), 6u);
  EXPECT_EQ(MonthIndexRail::maxCountFor(520), 20u);
  EXPECT_EQ(MonthIndexRail::maxCountFor(0), 6u);
}

TEST(MonthIndexRail, markerAndPointerStayInsideTheRail) {
  EXPECT_FALSE(MonthIndexRail::currentFraction(std::nullopt, 4));
  EXPECT_FALSE(MonthIndexRail::currentFraction(4, 4));
  EXPECT_DOUBLE_EQ(*MonthIndexRail::currentFraction(0, 4), 0.125);
  EXPECT_EQ(MonthIndexRail::sectionAt(-30, 400, 10), 0u);
  EXPECT_EQ(MonthIndexRail::sectionAt(std::numeric_limits<double>::quiet_NaN(), 400, 10), 0u);
  EXPECT_EQ(MonthIndexRail::sectionAt(900, 400, 10), 9u);
  EXPECT_EQ(MonthIndexRail::sectionAt(399.99, 400, 10), 9u);
  EXPECT_EQ(MonthIndexRail::railWidth({}), 84);
  EXPECT_EQ(MonthIndexRail::railWidth({QStringLiteral("3")}), 84);
  EXPECT_GT(MonthIndexRail::railWidth({QString(40, QChar(u'年'))}), 84);
}

TEST(MonthIndexRail, pressSelectsAndDragSelectsEachMonthOnce) {
  lumora::localized::installTranslations();
  MonthIndexRail rail;
  rail.resize(100, 400);
  rail.setSections({"a", "b", "c", "d"}, {"A", "B", "C", "D"});
  rail.show();
  EXPECT_EQ(rail.toolTip(), QStringLiteral("拖动跳到对应年月"));
  QSignalSpy selected(&rail, &MonthIndexRail::sectionSelected);
  QTest::mousePress(&rail, Qt::LeftButton, {}, QPoint(50, 10));
  ASSERT_EQ(selected.count(), 1);
  EXPECT_EQ(selected.at(0).at(0).toString(), "a");
  for (int y : {20, 60, 99, 120, 390}) {
    QMouseEvent move(QEvent::MouseMove, QPointF(50, y), rail.mapToGlobal(QPointF(50, y)),
                     Qt::NoButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&rail, &move);
  }
  QTest::mouseRelease(&rail, Qt::LeftButton, {}, QPoint(50, 390));
  ASSERT_EQ(selected.count(), 3);
  EXPECT_EQ(selected.at(1).at(0).toString(), "b");
  EXPECT_EQ(selected.at(2).at(0).toString(), "d");
  // A new press on the same month selects it again.
  QTest::mousePress(&rail, Qt::LeftButton, {}, QPoint(50, 390));
  EXPECT_EQ(selected.count(), 4);
}

TEST(MonthIndexRail, theCurrentLabelEasesOverAndTheGroupOpacityDimsTheBackgroundToo) {
  MonthIndexRail rail;
  rail.resize(100, 400);
  rail.setSections({"a", "b", "c", "d"}, {"A", "B", "C", "D"});
  rail.show();
  rail.setCurrentID(QStringLiteral("a"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return rail.labelProgress() >= 1.0; }, 2000));
  rail.setCurrentID(QStringLiteral("b"));
  EXPECT_LT(rail.labelProgress(), 0.5);
  EXPECT_TRUE(QTest::qWaitFor([&] { return rail.labelProgress() >= 1.0; }, 2000));

  // The content opacity leaves the background; the group opacity takes it along.
  const QPoint background(60, 2);
  const QRgb full = rail.grab().toImage().pixel(background);
  rail.setContentOpacity(0.38);
  EXPECT_EQ(rail.grab().toImage().pixel(background), full);
  rail.setGroupOpacity(0.72);
  EXPECT_DOUBLE_EQ(rail.groupOpacity(), 0.72);
  EXPECT_NE(rail.grab().toImage().pixel(background), full);
}
