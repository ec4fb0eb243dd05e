#include "app/eds/eds_fetch.h"

#include <QMetaObject>
#include <QObject>

#include <algorithm>

namespace nelvo {

bool EdsFetchKey::covers(const EdsFetchKey& other) const
{
    return zone == other.zone && chosen == other.chosen && addresses == other.addresses &&
           from <= other.from && other.to <= to;
}

bool EdsFetchKey::standsInFor(const EdsFetchKey& other) const
{
    const bool fewerAddresses =
        std::all_of(addresses.begin(), addresses.end(), [&](const std::string& mine) {
            return std::find(other.addresses.begin(), other.addresses.end(), mine) !=
                   other.addresses.end();
        });
    return zone == other.zone && chosen == other.chosen && fewerAddresses && from <= other.from &&
           other.to <= to;
}

void EdsShared::tellMainLocked(const std::shared_ptr<EdsShared>& self)
{
    if (!receiver)
        return;
    // A call queued to a receiver that is gone by then is dropped by Qt.
    QMetaObject::invokeMethod(
        receiver,
        [self] {
            if (self->onMain)
                self->onMain();
        },
        Qt::QueuedConnection);
}

const EdsSnapshot* EdsShared::snapshotLocked(const EdsFetchKey& key) const
{
    for (auto it = snapshots.rbegin(); it != snapshots.rend(); ++it)
        if (it->key == key)
            return &*it;
    return nullptr;
}

void EdsShared::storeLocked(EdsSnapshot snapshot)
{
    std::erase_if(snapshots, [&](const EdsSnapshot& s) { return s.key == snapshot.key; });
    snapshots.push_back(std::move(snapshot));
    if (snapshots.size() > keptSnapshots)
        snapshots.erase(snapshots.begin());
}

}  // namespace nelvo
