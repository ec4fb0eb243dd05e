#pragma once

#include "ui/canvas/day_column_view.h"
#include "ui/canvas/main_view.h"
#include "ui/canvas/motion.h"

#include "support/model_fixture.h"

#include <QTest>

#include <memory>

namespace nelvo::test {

// A canvas over the shared model fixture. `make()` saves `settings`, then builds the model and
// the view at 900 × (52 + 600), so the hours 8 to 18 fit at 59.2 points per hour.
struct CanvasFixture : ModelFixture {
    Settings settings = Settings::initial(zone("America/Los_Angeles"));
    std::unique_ptr<MainView> view;

    CanvasFixture() { Motion::setForcedOff(true); }

    MainView& make(QSize size = {900, 652})
    {
        SettingsStore(defaults).save(settings);
        ModelFixture::make();
        view = std::make_unique<MainView>(*model, *defaults);
        view->resize(size);
        view->show();
        QCoreApplication::processEvents();
        return *view;
    }

    DayColumnView& column(std::size_t index) { return *view->columns().at(index); }
    std::string key(std::size_t index) const { return model->days().at(index).id; }
};

// A press, moves in steps and a release, as a user drags: the pointer travels `by` on the
// screen even when the widget moves under it.
inline void drag(QWidget* widget, QPoint from, QPoint by, int steps = 4)
{
    const QPoint origin = widget->mapToGlobal(from);
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, from);
    for (int i = 1; i <= steps; ++i)
        QTest::mouseMove(widget, widget->mapFromGlobal(origin + by * i / steps));
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, widget->mapFromGlobal(origin + by));
}

}  // namespace nelvo::test
