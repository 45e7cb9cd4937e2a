#include "records/IoFailure.h"

#include <algorithm>
#include <vector>

namespace arti {

namespace {
// The watchers, the latest last; one that ends before a later one is taken out where it stands.
std::vector<IIoFailureObserver*>& watchers() {
    static std::vector<IIoFailureObserver*> list;
    return list;
}
} // namespace

IoFailureWatch::IoFailureWatch(IIoFailureObserver& observer) : observer_(&observer) {
    watchers().push_back(observer_);
}

IoFailureWatch::~IoFailureWatch() {
    std::vector<IIoFailureObserver*>& list = watchers();
    const auto at = std::find(list.rbegin(), list.rend(), observer_);
    if (at != list.rend()) list.erase(std::next(at).base());
}

void reportIoFailure(const IoFailure& failure) {
    if (!watchers().empty()) watchers().back()->ioFailed(failure);
}

void reportIoStop(IoStop why) {
    if (!watchers().empty()) watchers().back()->ioStopped(why);
}

} // namespace arti
