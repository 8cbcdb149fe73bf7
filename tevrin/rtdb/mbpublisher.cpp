#include "tevrin/rtdb/mbpublisher.h"

#include <algorithm>

void MBPublisher::Attach(IMBObserver* observer)
{
    observers_.push_back(observer);
}

void MBPublisher::Detach(IMBObserver* observer)
{
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void MBPublisher::Notify(TMBGProfile profile, int index, const QString& propertyId, int value)
{
    for (IMBObserver* o : observers_)
        o->Respond(profile, index, propertyId, value);
}
