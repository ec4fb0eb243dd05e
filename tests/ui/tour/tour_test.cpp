#include "ui/support/ui_setup.h"
#include "ui/tour/tips.h"
#include "ui/tour/tour.h"
#include "ui/tour/tour_anchor.h"
#include "ui/tour/tour_callout.h"

#include "support/model_fixture.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::ModelFixture;

std::vector<TourStep> walk(Tour& tour)
{
    std::vector<TourStep> seen;
    tour.start();
    while (auto step = tour.step()) {
        seen.push_back(*step);
        // A step's place counts only the steps shown.
        EXPECT_EQ(tour.position(), static_cast<int>(seen.size()));
        tour.next();
        if (seen.size() > 20)
            break;
    }
    return seen;
}

TEST(Tour, StepsInOrderTheEventsStepOnlyWithAMeetingToFree)
{
    ModelFixture with;
    with.source->all.push_back(
        test::meeting("m", "2025-03-03T10:00:00-08:00", "2025-03-03T11:00:00-08:00"));
    auto& busy = with.make();
    Tour full(*with.defaults);
    full.setShouldSkip(Tour::eventsNeedAMeeting(busy));
    EXPECT_EQ(full.count(), 8);
    EXPECT_EQ(walk(full),
              (std::vector<TourStep>{TourStep::days, TourStep::start, TourStep::hours,
                                     TourStep::freeTime, TourStep::events, TourStep::zones,
                                     TourStep::copy, TourStep::settings}));
    EXPECT_EQ(with.defaults->boolValue(Tour::completedKey), std::optional<bool>(true));

    ModelFixture without;
    auto& quiet = without.make();
    Tour tour(*without.defaults);
    tour.setShouldSkip(Tour::eventsNeedAMeeting(quiet));
    // Skip ends it too; starting again begins at the first step.
    tour.start();
    tour.next();
    tour.skip();
    EXPECT_FALSE(tour.isRunning());
    EXPECT_TRUE(tour.isCompleted());
    EXPECT_EQ(tour.count(), 7);
    EXPECT_EQ(walk(tour), (std::vector<TourStep>{TourStep::days, TourStep::start, TourStep::hours,
                                                 TourStep::freeTime, TourStep::zones,
                                                 TourStep::copy, TourStep::settings}));
}

TEST(Tour, StartsOnItsOwnOnceAfterTheDelay)
{
    InMemoryUserDefaults defaults;
    Tour tour(defaults);
    auto delay = [](const Tour& t) { return t.findChild<QTimer*>(); };
    tour.scheduleAutoStart(false);
    EXPECT_FALSE(tour.isRunning());
    ASSERT_TRUE(test::fire(delay(tour)));
    EXPECT_TRUE(tour.isRunning());
    tour.skip();

    // Not again once completed, nor when completed meanwhile.
    tour.scheduleAutoStart(false);
    EXPECT_FALSE(delay(tour)->isActive());
    InMemoryUserDefaults fresh;
    Tour later(fresh);
    later.scheduleAutoStart(false);
    fresh.setBool(Tour::completedKey, true);
    ASSERT_TRUE(test::fire(delay(later)));
    EXPECT_FALSE(tour.isRunning());
    EXPECT_FALSE(later.isRunning());
}

TEST(TourAnchor, PlacementStaysInsideTheWindow)
{
    using TourAnchor::ArrowEdge;
    const QSize host(800, 600);
    const QSize callout(300, 160);
    // Room below: under the anchor, arrow at its centre.
    const QRect top(100, 10, 160, 30);
    auto below = TourAnchor::place(host, top, callout);
    EXPECT_EQ(below.arrowEdge, ArrowEdge::top);
    EXPECT_GT(below.topLeft.y(), 40);
    EXPECT_EQ(below.topLeft.x() + below.arrowOffset, top.center().x());
    // At the bottom: above it.
    EXPECT_EQ(TourAnchor::place(host, QRect(100, 560, 100, 30), callout).arrowEdge,
              ArrowEdge::bottom);
    // A tall anchor at the left: to its right.
    EXPECT_EQ(TourAnchor::place(host, QRect(0, 0, 120, 600), callout).arrowEdge, ArrowEdge::left);
    // Near the right edge: pulled in, the arrow still on the anchor.
    const QRect corner(760, 10, 30, 30);
    auto right = TourAnchor::place(host, corner, callout);
    EXPECT_EQ(right.topLeft.x(), 800 - 300 - TourAnchor::margin);
    EXPECT_EQ(right.topLeft.x() + right.arrowOffset, corner.center().x());
    // No anchor: centred, no arrow. A window smaller than the callout: at the margin.
    auto floating = TourAnchor::place(host, std::nullopt, callout);
    EXPECT_EQ(floating.arrowEdge, ArrowEdge::none);
    EXPECT_EQ(floating.topLeft.x(), 250);
    auto cramped = TourAnchor::place(QSize(200, 100), QRect(0, 0, 200, 100), callout);
    EXPECT_EQ(cramped.topLeft, QPoint(TourAnchor::margin, TourAnchor::margin));
}

TEST(TourCallout, FollowsTheStepsControlOrFloats)
{
    InMemoryUserDefaults defaults;
    Tour tour(defaults);
    QWidget window;
    window.resize(900, 600);
    auto* days = new QPushButton("days", &window);
    days->setObjectName("tour.days");
    days->setGeometry(20, 10, 160, 30);
    // The start control sits in a scroll area, scrolled out of view.
    auto* scroll = new QScrollArea(&window);
    scroll->setGeometry(300, 300, 200, 100);
    auto* content = new QWidget;
    content->resize(200, 1000);
    auto* start = new QPushButton("start", content);
    start->setObjectName("tour.start");
    start->setGeometry(10, 900, 100, 30);
    scroll->setWidget(content);
    TourCallout callout(tour, &window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    tour.start();
    ASSERT_TRUE(callout.isVisible());
    EXPECT_EQ(callout.title(), "Choose how many days to share.");
    EXPECT_EQ(callout.progress(), "Step 1 of 8");
    EXPECT_EQ(callout.anchorWidget(), days);
    EXPECT_GE(callout.y(), days->geometry().bottom());

    callout.nextButton()->click();
    EXPECT_EQ(callout.progress(), "Step 2 of 8");
    EXPECT_EQ(callout.anchorWidget(), nullptr);
    EXPECT_EQ(callout.arrowEdge(), TourAnchor::ArrowEdge::none);
    EXPECT_TRUE(window.rect().contains(callout.geometry()));
    // Scrolled into view: the callout points at it again.
    scroll->ensureWidgetVisible(start);
    callout.reposition();
    EXPECT_EQ(callout.anchorWidget(), start);

    // A missing control (hours) floats; the last step reads Done; Done ends the tour.
    callout.nextButton()->click();
    EXPECT_EQ(callout.anchorWidget(), nullptr);
    for (int i = 0; i < 5; ++i)
        callout.nextButton()->click();
    EXPECT_EQ(callout.nextButton()->text(), "Done");
    callout.nextButton()->click();
    EXPECT_FALSE(callout.isVisible());
    EXPECT_TRUE(tour.isCompleted());
}

TEST(Tips, ShownOncePerUserNeverInDemoNorDuringTheTour)
{
    InMemoryUserDefaults defaults;
    QWidget window;
    window.resize(700, 500);
    auto* add = new QPushButton("+", &window);
    add->setObjectName("tip.addZone");
    add->setGeometry(600, 60, 30, 30);
    Tour tour(defaults);
    Tips tips(defaults, false, &window, &tour);
    Tips demo(defaults, true, &window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    demo.offer();
    EXPECT_FALSE(demo.isShowing(Tips::Tip::addZone));

    tour.start();
    tips.offer();
    EXPECT_FALSE(tips.isShowing(Tips::Tip::addZone));
    tour.skip();  // the end of the tour offers the tips
    EXPECT_TRUE(tips.isShowing(Tips::Tip::addZone));
    // Its text whole: the label as tall as its lines need at the width it was given.
    const auto* text = window.findChild<QLabel*>("tipText");
    ASSERT_NE(text, nullptr);
    EXPECT_GE(text->height(), text->heightForWidth(text->width()));
    // The events tip waits for a day with a meeting to free.
    EXPECT_FALSE(tips.wasShown(Tips::Tip::events));

    // Using the button counts as seeing the tip.
    QTest::mouseClick(add, Qt::LeftButton);
    EXPECT_FALSE(tips.isShowing(Tips::Tip::addZone));
    EXPECT_TRUE(tips.wasShown(Tips::Tip::addZone));
    tips.offer();
    EXPECT_FALSE(tips.isShowing(Tips::Tip::addZone));

    auto* events = new QPushButton("3 events", &window);
    events->setObjectName("tour.events");
    events->setGeometry(100, 100, 80, 24);
    events->show();
    tips.offer();
    EXPECT_TRUE(tips.isShowing(Tips::Tip::events));
    tips.dismiss(Tips::Tip::events);
    EXPECT_EQ(defaults.boolValue(Tips::defaultsKey(Tips::Tip::events)), std::optional<bool>(true));
}

}  // namespace
}  // namespace nelvo
