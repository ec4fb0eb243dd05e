#include "ui/root_view.h"

#include "app/availability_model.h"
#include "app/demo_calendar_source.h"
#include "app/desktop_calendar_source.h"
#include "app/eds/composite_calendar_source.h"
#include "app/ics_calendar_source.h"
#include "app/undo_stack_history.h"
#include "app/web_calendar_source.h"
#include "kit/store/adjustments_store.h"
#include "kit/store/file_user_defaults.h"
#include "kit/store/settings_store.h"
#include "kit/store/xdg_folders.h"
#include "ui/calendar_chooser.h"
#include "ui/canvas_page.h"
#include "ui/commands.h"
#include "ui/defaults_keys.h"
#include "ui/onboarding_view.h"
#include "ui/sound_output.h"

#include <QAction>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QStackedLayout>
#include <QTimer>
#include <QUndoStack>

#include <algorithm>

namespace nelvo {

struct RootView::Impl {
    Setup setup;
    Commands& commands;
    QUndoStack* undoStack = nullptr;
    CalendarAccess* access = nullptr;
    std::shared_ptr<IcsCalendarSource> calendars{};    // normal mode's files, once built
    std::shared_ptr<DesktopCalendarSource> desktop{};  // normal mode's desktop calendars
    std::shared_ptr<WebCalendarSource> web{};          // normal mode's calendar addresses
    AvailabilityModel* model = nullptr;
    QStackedLayout* stack = nullptr;
    OnboardingView* onboarding = nullptr;
    CanvasPage* canvas = nullptr;

    CalendarChoice storedChoice() const
    {
        const UserDefaults& stored = *setup.defaults;
        return {
            .locations = stored.stringList(DefaultsKeys::calendarLocations)
                             .value_or(std::vector<std::string>{}),
            .desktopCalendars = stored.stringList(DefaultsKeys::desktopCalendars)
                                    .value_or(std::vector<std::string>{}),
            .webCalendars =
                stored.stringList(DefaultsKeys::webCalendars).value_or(std::vector<std::string>{})};
    }

    DesktopCalendarSource& desktopSource()
    {
        if (!desktop) {
            desktop = DesktopCalendarSource::make(
                setup.defaults->stringList(DefaultsKeys::calendarAddresses)
                    .value_or(std::vector<std::string>{}));
            desktop->setChosenCalendars(access ? access->choice().desktopCalendars
                                               : storedChoice().desktopCalendars);
        }
        return *desktop;
    }

    bool hasDesktopCalendar(const std::string& id)
    {
        const auto listed = desktopSource().allCalendars();
        return std::any_of(listed.begin(), listed.end(),
                           [&](const CalendarInfo& calendar) { return calendar.id == id; });
    }
};

RootView::Setup RootView::Setup::standard(bool demo)
{
    const XdgFolders folders = XdgFolders::fromEnvironment();
    Setup setup;
    setup.demo = demo;
    setup.defaultsFile = FileUserDefaults::standardPath(folders);
    setup.defaults = std::make_shared<FileUserDefaults>(setup.defaultsFile);
    if (demo)
        setup.settingsDefaults =
            std::make_shared<FileUserDefaults>(FileUserDefaults::demoPath(folders));
    setup.adjustmentsPath =
        demo ? std::filesystem::temp_directory_path() / "nelvo-demo-adjustments.json"
             : AdjustmentsStore::defaultURL(folders);
    setup.soundOutput = SoundOutput::desktop();
    return setup;
}

RootView::RootView(Setup setup, Commands& commands, QWidget* parent)
    : QWidget(parent), m_impl(new Impl{std::move(setup), commands})
{
    setObjectName(QStringLiteral("rootView"));
    Impl& d = *m_impl;
    if (!d.setup.now)
        d.setup.now = &AvailabilityModel::systemNow;
    if (!d.setup.zone)
        d.setup.zone = &TimeZone::system;

    d.undoStack = new QUndoStack(this);
    auto defaults = d.setup.defaults;
    d.access = new CalendarAccess(
        d.storedChoice(),
        [defaults](const CalendarChoice& choice) {
            defaults->setStringList(DefaultsKeys::calendarLocations, choice.locations);
            defaults->setStringList(DefaultsKeys::desktopCalendars, choice.desktopCalendars);
            defaults->setStringList(DefaultsKeys::webCalendars, choice.webCalendars);
        },
        [this](const std::string& id) { return m_impl->hasDesktopCalendar(id); }, this);
    connect(d.access, &CalendarAccess::stateChanged, this, &RootView::accessChanged);
    connect(d.access, &CalendarAccess::choiceChanged, this, [this] {
        Impl& impl = *m_impl;
        if (impl.desktop)
            impl.desktop->setChosenCalendars(impl.access->choice().desktopCalendars);
        if (impl.calendars)
            impl.calendars->setLocations(impl.access->locations());
        if (impl.web)
            impl.web->setCalendarAddresses(impl.access->choice().webCalendars);
        if (impl.model)
            impl.model->reload();
    });

    if (!d.setup.demo && !d.setup.defaultsFile.empty())
        watchDefaultsFile();

    // The demo reads its own calendar, never the user's.
    commands.chooseCalendars->setEnabled(!d.setup.demo);
    connect(commands.chooseCalendars, &QAction::triggered, this, [this] {
        if (!m_impl->setup.demo)
            chooseLocations();
    });
    connect(commands.moreDays, &QAction::triggered, this, [this] {
        if (AvailabilityModel* model = m_impl->model; model && m_impl->canvas)
            model->setDayCount(model->settings().dayCount + 1);
    });
    connect(commands.fewerDays, &QAction::triggered, this, [this] {
        if (AvailabilityModel* model = m_impl->model; model && m_impl->canvas)
            model->setDayCount(model->settings().dayCount - 1);
    });

    d.stack = new QStackedLayout(this);
    d.stack->setContentsMargins(0, 0, 0, 0);
    // The demo calendar needs no access; a real one does, even after onboarding.
    if (!hasOnboarded())
        showOnboarding(false);
    else if (!d.setup.demo && d.access->state() != CalendarAccess::State::granted)
        showOnboarding(true);
    else
        showCanvas();
}

RootView::~RootView()
{
    // Children go in the order they were made, and the model is made before the canvas page
    // that uses it: the pages go first.
    delete m_impl->canvas;
    delete m_impl->onboarding;
}

bool RootView::isDemo() const
{
    return m_impl->setup.demo;
}

UserDefaults& RootView::defaults() const
{
    return *m_impl->setup.defaults;
}

QUndoStack& RootView::undoStack() const
{
    return *m_impl->undoStack;
}

CalendarAccess& RootView::access() const
{
    return *m_impl->access;
}

bool RootView::hasOnboarded() const
{
    return m_impl->setup.defaults->boolValue(DefaultsKeys::onboardingCompleted).value_or(false);
}

AvailabilityModel* RootView::model() const
{
    return m_impl->model;
}

OnboardingView* RootView::onboarding() const
{
    return m_impl->onboarding;
}

CanvasPage* RootView::canvasPage() const
{
    return m_impl->canvas;
}

std::optional<CalendarChoice> RootView::choose()
{
    if (m_impl->setup.chooser)
        return m_impl->setup.chooser();
    return CalendarChooser::choose(window(), m_impl->access->choice(),
                                   m_impl->desktopSource().allCalendars());
}

void RootView::chooseLocations()
{
    m_impl->access->chooseLocations([this] { return choose(); });
}

void RootView::showOnboarding(bool accessOnly)
{
    Impl& d = *m_impl;
    if (d.onboarding && d.onboarding->isAccessOnly() == accessOnly)
        return;
    auto* view = new OnboardingView(
        *d.access, [this] { return choose(); }, accessOnly, d.setup.demo, this);
    connect(view, &OnboardingView::finished, this, [this] {
        m_impl->setup.defaults->setBool(DefaultsKeys::onboardingCompleted, true);
        // Leave the click that finished onboarding before the page goes away.
        QMetaObject::invokeMethod(this, &RootView::showCanvas, Qt::QueuedConnection);
    });
    d.stack->addWidget(view);
    d.stack->setCurrentWidget(view);
    if (d.onboarding)
        d.onboarding->deleteLater();
    d.onboarding = view;
    d.commands.setCanvasShown(false);
    if (d.canvas) {
        d.stack->removeWidget(d.canvas);
        d.canvas->deleteLater();
        d.canvas = nullptr;
    }
}

void RootView::showCanvas()
{
    Impl& d = *m_impl;
    if (d.canvas)
        return;
    AvailabilityModel& model = ensureModel();
    d.canvas =
        new CanvasPage(model, *d.setup.defaults, d.commands, *d.undoStack, d.setup.demo, this);
    d.stack->addWidget(d.canvas);
    d.stack->setCurrentWidget(d.canvas);
    d.commands.setCanvasShown(true);
    if (d.onboarding) {
        d.stack->removeWidget(d.onboarding);
        d.onboarding->deleteLater();
        d.onboarding = nullptr;
    }
    Q_EMIT canvasShown();
}

AvailabilityModel& RootView::ensureModel()
{
    Impl& d = *m_impl;
    if (d.model)
        return *d.model;
    std::shared_ptr<EventSource> source;
    if (d.setup.demo) {
        source = std::make_shared<DemoCalendarSource>();
    } else {
        const auto addresses = d.setup.defaults->stringList(DefaultsKeys::calendarAddresses)
                                   .value_or(std::vector<std::string>{});
        d.calendars = std::make_shared<IcsCalendarSource>(d.access->locations(), addresses);
        d.web = WebCalendarSource::make(d.access->choice().webCalendars, addresses);
        d.desktopSource();
        // The desktop's own calendars first, then the chosen files and addresses, as one list.
        source =
            std::make_shared<CompositeCalendarSource>(std::vector<CompositeCalendarSource::Part>{
                {CompositeCalendarSource::Kind::desktop, d.desktop},
                {CompositeCalendarSource::Kind::file, d.calendars},
                {CompositeCalendarSource::Kind::web, d.web}});
    }
    d.model = new AvailabilityModel(std::move(source),
                                    std::make_shared<SettingsStore>(d.setup.settingsDefaults
                                                                        ? d.setup.settingsDefaults
                                                                        : d.setup.defaults),
                                    std::make_shared<AdjustmentsStore>(d.setup.adjustmentsPath),
                                    d.setup.now, d.setup.zone, this);
    d.model->setUndoHistory(UndoStackHistory::on(*d.undoStack));
    if (d.setup.soundOutput)
        d.model->setSoundOutput(d.setup.soundOutput);
    return *d.model;
}

void RootView::accessChanged()
{
    Impl& d = *m_impl;
    if (d.setup.demo || !hasOnboarded())
        return;
    switch (d.access->state()) {
    case CalendarAccess::State::granted:
        if (d.onboarding)
            showCanvas();
        break;
    case CalendarAccess::State::undetermined:
    case CalendarAccess::State::denied:
        showOnboarding(true);
        break;
    case CalendarAccess::State::requesting:
        break;
    }
}

void RootView::applicationBecameActive()
{
    Impl& d = *m_impl;
    if (!d.setup.demo) {
        // `nelvo calendars add` may have changed the choice while the window was behind.
        d.access->setChoice(d.storedChoice());
    }
    if (d.model)
        d.model->applicationBecameActive();
}

void RootView::rereadChoice()
{
    // setChoice reads the calendars again only when the choice is another.
    if (!m_impl->setup.demo)
        m_impl->access->setChoice(m_impl->storedChoice());
}

void RootView::watchDefaultsFile()
{
    // The file is replaced by a rename on every save, which ends a watch on the file itself:
    // its folder is watched, and a burst of saves is taken once.
    const std::filesystem::path& file = m_impl->setup.defaultsFile;
    auto* watcher = new QFileSystemWatcher(this);
    auto* settle = new QTimer(this);
    settle->setSingleShot(true);
    settle->setInterval(150);
    std::error_code ignored;
    std::filesystem::create_directories(file.parent_path(), ignored);
    const QString folder = QString::fromStdString(file.parent_path().string());
    const auto watch = [watcher, folder, path = QString::fromStdString(file.string())] {
        if (!watcher->directories().contains(folder))
            watcher->addPath(folder);
        if (!watcher->files().contains(path) && QFileInfo::exists(path))
            watcher->addPath(path);
    };
    watch();
    connect(watcher, &QFileSystemWatcher::directoryChanged, settle, qOverload<>(&QTimer::start));
    connect(watcher, &QFileSystemWatcher::fileChanged, settle, qOverload<>(&QTimer::start));
    connect(settle, &QTimer::timeout, this, [this, watch] {
        watch();
        rereadChoice();
    });
}

void RootView::saveNow()
{
    if (m_impl->model)
        m_impl->model->saveSettingsNow();
}

}  // namespace nelvo
