#include "tevrin/rtdb/spublisher.h"

#include <algorithm>

void SPublisher::Attach(ISObserver* observer)
{
    observers_.push_back(observer);
}

void SPublisher::Detach(ISObserver* observer)
{
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void SPublisher::Notify(int id, void* block)
{
    for (ISObserver* o : observers_)
        o->Respond(id, block);
}
