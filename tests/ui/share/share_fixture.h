#pragma once

#include "support/model_fixture.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QString>

#include <initializer_list>

namespace nelvo::test {

// The shared model fixture with two meetings: Monday 10:00 and Tuesday 13:00 in Los Angeles.
struct ShareFixture : ModelFixture {
    ShareFixture()
    {
        source->all = {
            meeting("a", "2025-03-03T10:00:00-08:00", "2025-03-03T11:00:00-08:00",
                    "Secret launch review"),
            meeting("b", "2025-03-04T13:00:00-08:00", "2025-03-04T14:30:00-08:00", "Dentist")};
    }

    using ModelFixture::make;
    // A model showing `days` days with rulers for these zones after the primary one.
    AvailabilityModel& make(int days, std::initializer_list<const char*> zones)
    {
        auto& m = make();
        m.setDayCount(days);
        for (const char* id : zones)
            m.addZone(id);
        sounds.clear();
        return m;
    }

    // A path in the private folder.
    QString file(const char* name) const
    {
        return QString::fromStdString((folder / name).string());
    }
};

// A menu's entries by text, "-" for a separator.
inline QStringList entries(const QMenu* menu)
{
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

inline QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace nelvo::test
